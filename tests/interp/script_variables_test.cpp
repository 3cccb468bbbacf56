#include "interp/script_variables.h"

#include <gtest/gtest.h>

#include <vector>

#include "interp/expression.h"
#include "interp/interp_test_support.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "support/interpreter_rig.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

class ScriptVariablesTest : public ::testing::Test {
  protected:
    test::TempFolder dir;
    test::RecordedBoxes boxes;
    script::Diagnostics diagnostics{boxes, script::kLangEnglish};
    script::Book book{script::BookServices{&diagnostics, nullptr, nullptr, "Z:\\p\\"}};
    host::VirtualClock clock;
    ScriptVariables vars{book, &diagnostics, clock};

    void Open(std::string_view text) {
        dir.Write("story.talu", text);
        ASSERT_TRUE(book.OpenPath(dir.Inside("story.talu")));
    }

    static script::TagRecord Tag(
        std::initializer_list<std::pair<int, std::string_view>> attributes) {
        return test::Tag(0, attributes);
    }

    std::string NextText() {
        script::TagRecord record;
        while (book.FetchTag(record)) {
            std::string text;
            if (record.GetAttribute(kw::kSrc, text)) {
                return text;
            }
        }
        return "<end>";
    }
};

TEST_F(ScriptVariablesTest, IsSetLooksAtVariablesThenBookmarksAndConditionsTakeNamesOrExpressions) {
    Open("x");
    vars.Variables().Set("zero", "0");
    vars.Variables().Set("double", "00");
    vars.Variables().Set("empty", "");
    vars.Bookmarks().Set("seen", "1");
    vars.Bookmarks().Set("zero", "1");
    // The variable table answers first: "zero" is not set.
    for (const auto& [name, set] : {std::pair{"zero", false},
                                    {"double", true},
                                    {"empty", true},
                                    {"seen", true},
                                    {"missing", false}}) {
        EXPECT_EQ(vars.IsSet(name), set) << name;
    }
    for (const auto& [text, holds] :
         {std::pair{"seen", true}, {"", false}, {"(1<2)", true}, {"(1>2)", false}}) {
        EXPECT_EQ(vars.Condition(text), holds) << text;
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(vars.Condition("(1+2*3)"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].find("ANSWER or VIEW attribute"), std::string::npos);
}

// Comparisons are strict: equal numbers neither run an EVENT block nor make a QUESTION jump.
TEST_F(ScriptVariablesTest, EqualNumbersAreNeitherGreaterNorLess) {
    for (const char* answer : {"(2>2)", "(2<2)"}) {
        SCOPED_TRACE(answer);
        boxes.shown.clear();
        Open(std::string("<A NAME=\"x\">top<EVENT ANSWER=\"") + answer + "\">in</EVENT>out");
        EXPECT_FALSE(vars.Condition(answer));
        EXPECT_EQ(NextText(), "top");
        script::TagRecord record;
        ASSERT_TRUE(book.FetchTag(record));
        vars.Event(record);
        EXPECT_EQ(NextText(), "out");
        vars.Question(Tag({{kw::kHref, "#x"}, {kw::kAnswer, answer}}));
        EXPECT_EQ(NextText(), "<end>");  // a jump would read "top" again
        EXPECT_TRUE(boxes.shown.empty());
    }
}

TEST_F(ScriptVariablesTest, MemoFilesOutliveTheReadingUntilCleared) {
    Open("x");
    vars.LoadMemos(book.Path(), 3);
    vars.Variables().Set("score", "42");
    EXPECT_TRUE(vars.Memo(Tag({{kw::kSrc, "score"}, {kw::kDest, "BOOK"}})));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "story.memo"));

    script::Book other{script::BookServices{}};
    ScriptVariables later{other, nullptr, clock};
    later.LoadMemos(book.Path(), 3);
    EXPECT_TRUE(later.Memo(Tag({{kw::kSrc, "book"}, {kw::kDest, "score"}})));
    std::string value;
    ASSERT_TRUE(later.Variables().Lookup("score", value));
    EXPECT_EQ(value, "42");
    EXPECT_FALSE(later.Memo(Tag({{kw::kSrc, "BOOK"}, {kw::kDest, "nothing"}})));

    // Clearing the bookmark memo deletes its file; the values stay readable.
    vars.LoadMemos(book.Path(), 0);
    vars.Memo(Tag({{kw::kSrc, "unset"}, {kw::kDest, "BOOKMARK"}}));
    const auto file = dir.Path() / "story.00.memo";
    ASSERT_TRUE(std::filesystem::exists(file));
    vars.Memo(Tag({{kw::kSrc, "CLEAR"}, {kw::kDest, "BOOKMARK"}}));
    EXPECT_FALSE(std::filesystem::exists(file));
    value = "x";
    EXPECT_TRUE(vars.BookmarkMemo().Lookup("unset", value));
    EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace talu::interp
