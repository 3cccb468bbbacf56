#include "interp/expression.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace talu::interp {
namespace {

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
