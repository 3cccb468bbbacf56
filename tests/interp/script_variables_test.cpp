#include "interp/script_variables.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <string>
#include <vector>

#include "interp/expression.h"
#include "interp/interp_test_support.h"
#include "interp/memo_store.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "support/file_contents.h"
#include "support/finishes_in_time.h"
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

TEST(MemoStore, ValuesOutliveTheStoreAndSavingReplacesTheFileInAnyCase) {
    test::TempFolder dir;
    {
        MemoStore memo;
        memo.Load(dir.Inside("book.memo"));  // no file yet: nothing read, path remembered
        memo.Put("score", "42");
        memo.Flush();
    }
    EXPECT_EQ(test::ReadText(dir.Path() / "book.memo"),
              "###START_LIST###\r\nscore\t42\r\n###END_LIST###\r\n");
    MemoStore later;
    later.Load(dir.Inside("BOOK.MEMO"));
    std::string value;
    ASSERT_TRUE(later.Lookup("score", value));
    EXPECT_EQ(value, "42");
    later.Put("score", "43");
    later.Save(dir.Inside("Book.Memo"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_EQ(test::ReadText(dir.Path() / "book.memo"),
              "###START_LIST###\r\nscore\t43\r\n###END_LIST###\r\n");

    later.Save(dir.Inside("no/such/folder/x.memo"));  // skipped, but remembered
    EXPECT_EQ(later.Path(), dir.Inside("no/such/folder/x.memo"));
}

TEST(MemoStore, EraseDeletesTheFileButKeepsTheValuesAndABrokenFileReadsWhatItHolds) {
    test::TempFolder dir;
    dir.Write("BOOK.MEMO", "###START_LIST###\nk\tv\ntruncated");
    MemoStore memo;
    memo.Load(dir.Inside("book.memo"));  // found in any case
    memo.Erase();
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "BOOK.MEMO"));
    std::string value;
    EXPECT_TRUE(memo.Lookup("k", value));
    memo.Erase();  // a missing file is no error
}

TEST(MemoStore, APipeADeviceOrAGiantOfTheMemosNameIsNotRead) {
    test::TempFolder dir;
    const auto memo = dir.Path() / "book.memo";
    // A valid memo first, then nothing but zeros up to past the cap.
    const std::string valid = "###START_LIST###\r\nk\tv\r\n###END_LIST###\r\n";
    auto readsNothing = [&] {
        MemoStore store;
        store.Load(dir.Inside("book.memo"));
        std::string value;
        return !store.Lookup("k", value) && store.Path() == dir.Inside("book.memo");
    };
    ASSERT_EQ(::mkfifo(memo.c_str(), 0600), 0);
    EXPECT_TRUE(test::FinishesInTime(readsNothing));
    std::filesystem::remove(memo);
    std::filesystem::create_symlink("/dev/zero", memo);
    EXPECT_TRUE(test::FinishesInTime(readsNothing));
    std::filesystem::remove(memo);
    dir.Write("book.memo", valid);
    std::filesystem::resize_file(memo, kMaxMemoFileBytes + 1);
    EXPECT_TRUE(test::FinishesInTime(readsNothing));
    // The same memo within the cap is read.
    std::filesystem::resize_file(memo, valid.size());
    EXPECT_FALSE(test::FinishesInTime(readsNothing));
}

constexpr std::int32_t kError = kExpressionError;

class ExpressionTest : public ::testing::Test {
  protected:
    script::StringTable variables;
    script::StringTable bookmarks;

    std::int32_t Eval(std::string_view text, std::uint32_t seed = 1) {
        ExpressionEvaluator evaluator(variables, bookmarks, seed);
        return evaluator.Evaluate(text);
    }

    std::string Var(std::string_view name) {
        return std::string(variables.Find(name).value_or("<absent>"));
    }
};

TEST_F(ExpressionTest, ArithmeticLogicAndMalformedTexts) {
    const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
    // One operator per parenthesis pair, a pair around a lone value is a truth test, division
    // by zero gives 0 and 32-bit results wrap instead of trapping.
    const std::pair<std::int32_t, std::vector<std::string>> cases[] = {
        {kError,
         {"(3+4*2)", "(-1--1--1)", "(1-2-3-4-5)", "", "   ", "((1+2)", "()", "(!)", "(@)", deep}},
        {0,
         {"(0)", "(3<2)", "(2<2)", "(2>2)", "(0&5)", "(!(2>1))", "(7/0)", "(7%0)",
          "(((0-2147483647)-1)%-1)", "(65536*65536)", "(@0)", "(@-3)"}},
        {1, {"((3+4))", "(5)", "(3>2)", "(0|5)", "(!0)"}},
        {INT_MIN, {"(2147483646+2)", "((0-2147483647)-1)", "(((0-2147483647)-1)/-1)"}},
        {-1, {"(-7%3)"}},
        {2, {"(-3+5)"}},
        {3, {"((10/3)*(10%3))"}},
        {7, {"(3+4)"}},
        {8, {"(5--3)"}},
        {11, {"(3+(4*2))"}},
        {15, {"(-5*-3)"}},
        {42, {"42"}}};
    for (const auto& [expected, texts] : cases) {
        for (const std::string& text : texts) {
            EXPECT_EQ(Eval(text), expected) << text.substr(0, 40);
        }
    }
}

TEST_F(ExpressionTest, NamesAreAssignedCopiedAndComparedInOrder) {
    variables.Set("from", "12abc");
    variables.Set("word", "hello");
    variables.Set("zero", "0");
    variables.Set("off", "0");
    variables.Set("on", "1");
    variables.Set("\x81\x7C", "4");  // its trail byte is "|", which is no operator here
    bookmarks.Set("flag", "yes");
    bookmarks.Set("cleared", "1");
    struct Case {
        std::string_view text;
        std::int32_t result;
        std::string_view name = {};  // a variable to read afterwards
        std::string_view value = {};
    };
    const Case cases[] = {
        // A literal operand is evaluated first and so creates a variable of its own name.
        {"(fresh?[5])", 0, "[5]", "0"},
        {"(x=5)", 5, "x", "5"},
        {"(x?5)", 1},
        {"(x?[5])", 1},
        {"(name=[Alice])", 1, "name", "Alice"},
        {"(name?[alice])", 0},
        {"([Alice]?name)", 1},
        {"(to=from)", 12, "to", "12abc"},
        {"(copy=flag)", 1, "copy", "yes"},
        // The bookmark table holds "cleared" already, so the value goes there.
        {"(cleared=(1+1))", 2, "cleared", "<absent>"},
        {"(12=5)", 5, "12", "<absent>"},  // digits are no name
        {"(count+1)", 1, "count", "0"},
        {"(word&1)", 1},  // any non-numeric text is true
        {"(zero|0)", 0},
        {"(cleared+1)", 3},
        // Then evaluates its right side only when the left holds.
        {"(off^(n=(n+1)))", 0, "n", "<absent>"},
        {"(on^(n=(n+1)))", 1},
        {"(on^(n=(n+1)))", 1, "n", "2"},
        {" ( x + to ) ", 17},
        {"(spaced=[A B])", 1, "spaced", "AB"},
        {"(s=[a+b])", 1, "s", "a+b"},
        {"(\x81\x7C+1)", 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Eval(c.text), c.result);
        if (!c.name.empty()) {
            EXPECT_EQ(Var(c.name), c.value);
        }
    }
    EXPECT_EQ(bookmarks.Find("cleared"), "2");
}

TEST_F(ExpressionTest, RandomStaysInRange) {
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        std::int32_t value = Eval("(@6)", seed);
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 6);
    }
}

}  // namespace
}  // namespace talu::interp
