#include "interp/script_variables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "interp/expression.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "support/temp_folder.h"

namespace talu::interp {
namespace {

class Boxes : public script::MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

class ScriptVariablesTest : public ::testing::Test {
  protected:
    test::TempFolder dir;
    Boxes boxes;
    script::Diagnostics diagnostics{boxes, script::kLangEnglish};
    script::Book book{script::BookServices{&diagnostics, nullptr, nullptr, "Z:\\p\\"}};
    host::VirtualClock clock;
    ScriptVariables vars{book, &diagnostics, clock};

    void Open(std::string_view text) {
        dir.Write("story.talu", text);
        ASSERT_TRUE(book.OpenPath(dir.Inside("story.talu")));
    }

    script::TagRecord Tag(std::initializer_list<std::pair<int, std::string_view>> attributes) {
        script::TagRecord record;
        for (const auto& [id, value] : attributes) {
            record.AddAttribute(id, value);
        }
        return record;
    }

    std::string NextText() {
        script::TagRecord record;
        while (book.FetchTag(record)) {
            std::string text;
            if (record.GetAttribute(script::kw::kSrc, text)) {
                return text;
            }
        }
        return "<end>";
    }
};

TEST_F(ScriptVariablesTest, IsSetLooksAtVariablesThenBookmarks) {
    vars.Variables().Set("zero", "0");
    vars.Variables().Set("double", "00");
    vars.Variables().Set("empty", "");
    vars.Bookmarks().Set("seen", "1");
    vars.Bookmarks().Set("zero", "1");
    EXPECT_FALSE(vars.IsSet("zero"));  // the variable table answers first
    EXPECT_TRUE(vars.IsSet("double"));
    EXPECT_TRUE(vars.IsSet("empty"));
    EXPECT_TRUE(vars.IsSet("seen"));
    EXPECT_FALSE(vars.IsSet("missing"));
}

TEST_F(ScriptVariablesTest, ConditionsByNameOrExpression) {
    Open("x");
    vars.Variables().Set("flag", "yes");
    EXPECT_TRUE(vars.Condition("flag"));
    EXPECT_FALSE(vars.Condition(""));
    EXPECT_TRUE(vars.Condition("(1<2)"));
    EXPECT_FALSE(vars.Condition("(1>2)"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(vars.Condition("(1+2*3)"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].find("ANSWER or VIEW attribute"), std::string::npos);
}

TEST_F(ScriptVariablesTest, ChosenLinksApplyTheirAnswerAndJump) {
    Open("a<A NAME=\"there\">b");
    script::TagRecord link = Tag({{script::kw::kHref, "#there"}, {script::kw::kAnswer, "went"}});
    vars.TakeLink(link);
    EXPECT_TRUE(vars.IsSet("went"));
    EXPECT_EQ(NextText(), "b");

    vars.TakeLink(Tag({{script::kw::kHref, "#there"}, {script::kw::kAnswer, "(n=(n+1))"}}));
    std::string n;
    ASSERT_TRUE(vars.Variables().Lookup("n", n));
    EXPECT_EQ(n, "1");
}

TEST_F(ScriptVariablesTest, SetByAnswerIsRecordedForBookmarks) {
    EXPECT_FALSE(vars.SetByAnswer(Tag({}), vars.Bookmarks()));
    EXPECT_TRUE(vars.SetByAnswer(Tag({{script::kw::kAnswer, "cleared"}}), vars.Bookmarks()));
    std::ostringstream saved;
    vars.Bookmarks().WriteTo(saved);
    EXPECT_EQ(saved.str(), "###START_LIST###\n###END_LIST###\n");  // new since the last commit
    vars.Commit();
    saved.str("");
    vars.Bookmarks().WriteTo(saved);
    EXPECT_EQ(saved.str(), "###START_LIST###\ncleared\t1\n###END_LIST###\n");
}

TEST_F(ScriptVariablesTest, QuestionsJumpOnlyWhenTheirAnswerHolds) {
    Open("a<A NAME=\"x\">b");
    vars.Question(Tag({{script::kw::kHref, "#x"}, {script::kw::kAnswer, "flag"}}));
    EXPECT_EQ(NextText(), "a");
    vars.Variables().Set("flag", "2");
    vars.Question(Tag({{script::kw::kHref, "#x"}, {script::kw::kAnswer, "flag"}}));
    EXPECT_EQ(NextText(), "b");
}

TEST_F(ScriptVariablesTest, EventsSkipTheirBlockUnlessTheAnswerHolds) {
    Open(
        "<EVENT ANSWER=\"flag\">in</EVENT>out<EVENT ANSWER=\"(1+2*3)\">run</EVENT>"
        "<EVENT>never</EVENT>end");
    script::TagRecord record;
    ASSERT_TRUE(book.FetchTag(record));
    vars.Event(record);
    EXPECT_EQ(NextText(), "out");
    ASSERT_TRUE(book.FetchTag(record));
    vars.Event(record);
    EXPECT_EQ(NextText(), "run");        // a wrong expression runs the block...
    EXPECT_EQ(boxes.shown.size(), 1u);   // ...after showing the error
    ASSERT_TRUE(book.FetchTag(record));  // the closing tag
    vars.Event(record);
    ASSERT_TRUE(book.FetchTag(record));
    vars.Event(record);  // no ANSWER at all
    EXPECT_EQ(NextText(), "end");
}

TEST_F(ScriptVariablesTest, MemoFilesOutliveTheReading) {
    Open("x");
    vars.LoadMemos(book.Path(), 3);
    vars.Variables().Set("score", "42");
    EXPECT_TRUE(vars.Memo(Tag({{script::kw::kSrc, "score"}, {script::kw::kDest, "BOOK"}})));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "story.memo"));

    script::Book other{script::BookServices{}};
    ScriptVariables later{other, nullptr, clock};
    later.LoadMemos(book.Path(), 3);
    EXPECT_TRUE(later.Memo(Tag({{script::kw::kSrc, "book"}, {script::kw::kDest, "score"}})));
    std::string value;
    ASSERT_TRUE(later.Variables().Lookup("score", value));
    EXPECT_EQ(value, "42");
    EXPECT_FALSE(later.Memo(Tag({{script::kw::kSrc, "BOOK"}, {script::kw::kDest, "nothing"}})));
}

TEST_F(ScriptVariablesTest, ClearingTheBookmarkMemoDeletesItsFile) {
    Open("x");
    vars.LoadMemos(book.Path(), 0);
    vars.Memo(Tag({{script::kw::kSrc, "unset"}, {script::kw::kDest, "BOOKMARK"}}));
    const auto file = dir.Path() / "story.00.memo";
    ASSERT_TRUE(std::filesystem::exists(file));
    vars.Memo(Tag({{script::kw::kSrc, "CLEAR"}, {script::kw::kDest, "BOOKMARK"}}));
    EXPECT_FALSE(std::filesystem::exists(file));
    std::string value = "x";
    EXPECT_TRUE(vars.BookmarkMemo().Lookup("unset", value));  // values stay readable
    EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace talu::interp
