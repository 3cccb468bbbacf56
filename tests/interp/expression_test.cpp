#include "interp/expression.h"

#include <gtest/gtest.h>

#include <climits>

namespace talu::interp {
namespace {

class ExpressionTest : public ::testing::Test {
  protected:
    script::StringTable variables;
    script::StringTable bookmarks;

    std::int32_t Eval(std::string_view text, std::uint32_t seed = 1) {
        ExpressionEvaluator evaluator(variables, bookmarks, seed);
        return evaluator.Evaluate(text);
    }

    std::string Var(std::string_view name) {
        std::string value = "<absent>";
        variables.Lookup(name, value);
        return value;
    }
};

TEST_F(ExpressionTest, OneOperatorPerParenthesisPair) {
    EXPECT_EQ(Eval("(3+4)"), 7);
    EXPECT_EQ(Eval("((3+4))"), 1);
    EXPECT_EQ(Eval("(3+4*2)"), kExpressionError);
    EXPECT_EQ(Eval("(3+(4*2))"), 11);
    EXPECT_EQ(Eval("((10/3)*(10%3))"), 3);
    EXPECT_EQ(Eval("(5)"), 1);
    EXPECT_EQ(Eval("(0)"), 0);
    EXPECT_EQ(Eval("42"), 42);
}

TEST_F(ExpressionTest, MinusSignsAndSubtraction) {
    EXPECT_EQ(Eval("(-3+5)"), 2);
    EXPECT_EQ(Eval("(5--3)"), 8);
    EXPECT_EQ(Eval("(-5*-3)"), 15);
    EXPECT_EQ(Eval("(-1--1--1)"), kExpressionError);  // two operators
    EXPECT_EQ(Eval("(1-2-3-4-5)"), kExpressionError);
}

TEST_F(ExpressionTest, ComparisonsAndLogic) {
    EXPECT_EQ(Eval("(3>2)"), 1);
    EXPECT_EQ(Eval("(3<2)"), 0);
    EXPECT_EQ(Eval("(0|5)"), 1);
    EXPECT_EQ(Eval("(0&5)"), 0);
    EXPECT_EQ(Eval("(!0)"), 1);
    EXPECT_EQ(Eval("(!(2>1))"), 0);
}

TEST_F(ExpressionTest, DivisionByZeroAndWrapping) {
    EXPECT_EQ(Eval("(7/0)"), 0);
    EXPECT_EQ(Eval("(7%0)"), 0);
    EXPECT_EQ(Eval("(-7%3)"), -1);
    EXPECT_EQ(Eval("(2147483646+2)"), INT_MIN);
    EXPECT_EQ(Eval("((0-2147483647)-1)"), INT_MIN);
    EXPECT_EQ(Eval("(((0-2147483647)-1)/-1)"), INT_MIN);
    EXPECT_EQ(Eval("(((0-2147483647)-1)%-1)"), 0);
    EXPECT_EQ(Eval("(65536*65536)"), 0);
}

TEST_F(ExpressionTest, AssignmentAndEquality) {
    EXPECT_EQ(Eval("(x=5)"), 5);
    EXPECT_EQ(Var("x"), "5");
    EXPECT_EQ(Eval("(x?5)"), 1);
    EXPECT_EQ(Eval("(x?[5])"), 1);
    EXPECT_EQ(Eval("(name=[Alice])"), 1);
    EXPECT_EQ(Var("name"), "Alice");
    EXPECT_EQ(Eval("(name?[Alice])"), 1);
    EXPECT_EQ(Eval("(name?[alice])"), 0);
    EXPECT_EQ(Eval("([Alice]?name)"), 1);
}

TEST_F(ExpressionTest, LiteralsAreEvaluatedAsOperandsFirst) {
    EXPECT_EQ(Eval("(x?[5])"), 0);
    EXPECT_EQ(Var("[5]"), "0");  // the literal was evaluated first, creating a variable
    EXPECT_EQ(Var("x"), "0");
}

TEST_F(ExpressionTest, CopyingBetweenNames) {
    variables.Set("from", "12abc");
    EXPECT_EQ(Eval("(to=from)"), 12);
    EXPECT_EQ(Var("to"), "12abc");
    bookmarks.Set("flag", "yes");
    EXPECT_EQ(Eval("(copy=flag)"), 1);
    EXPECT_EQ(Var("copy"), "yes");
}

TEST_F(ExpressionTest, AssignmentPrefersExistingTables) {
    bookmarks.Set("cleared", "1");
    EXPECT_EQ(Eval("(cleared=(1+1))"), 2);
    std::string value;
    ASSERT_TRUE(bookmarks.Lookup("cleared", value));
    EXPECT_EQ(value, "2");
    EXPECT_EQ(Var("cleared"), "<absent>");
    EXPECT_EQ(Eval("(12=5)"), 5);  // digits are no name
    EXPECT_EQ(Var("12"), "<absent>");
}

TEST_F(ExpressionTest, UnknownNamesAreCreatedWithZero) {
    EXPECT_EQ(Eval("(count+1)"), 1);
    EXPECT_EQ(Var("count"), "0");
    variables.Set("word", "hello");
    EXPECT_EQ(Eval("(word&1)"), 1);  // any non-numeric text is true
    variables.Set("zero", "0");
    EXPECT_EQ(Eval("(zero|0)"), 0);
    bookmarks.Set("seen", "1");
    EXPECT_EQ(Eval("(seen+1)"), 2);
}

TEST_F(ExpressionTest, ThenEvaluatesItsRightSideOnlyWhenTheLeftHolds) {
    variables.Set("flag", "0");
    EXPECT_EQ(Eval("(flag^(count=(count+1)))"), 0);
    EXPECT_EQ(Var("count"), "<absent>");
    variables.Set("flag", "1");
    EXPECT_EQ(Eval("(flag^(count=(count+1)))"), 1);
    EXPECT_EQ(Eval("(flag^(count=(count+1)))"), 1);
    EXPECT_EQ(Var("count"), "2");
}

TEST_F(ExpressionTest, RandomStaysInRange) {
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        std::int32_t value = Eval("(@6)", seed);
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 6);
    }
    EXPECT_EQ(Eval("(@0)"), 0);
    EXPECT_EQ(Eval("(@-3)"), 0);
}

TEST_F(ExpressionTest, SpacesAreIgnoredEverywhere) {
    variables.Set("a", "2");
    variables.Set("b", "3");
    EXPECT_EQ(Eval(" ( a + b ) "), Eval("(a+b)"));
    EXPECT_EQ(Eval("(n=[A B])"), 1);
    EXPECT_EQ(Var("n"), "AB");
}

TEST_F(ExpressionTest, OperatorsInsideBracketsAndDoubleByteCharactersDoNotCount) {
    EXPECT_EQ(Eval("(s=[a+b])"), 1);
    EXPECT_EQ(Var("s"), "a+b");
    // 0x81 0x5E is one character whose trail byte is no operator; 0x81 0x7C neither.
    variables.Set("\x81\x7C", "4");
    EXPECT_EQ(Eval("(\x81\x7C+1)"), 5);
}

TEST_F(ExpressionTest, Errors) {
    EXPECT_EQ(Eval(""), kExpressionError);
    EXPECT_EQ(Eval("   "), kExpressionError);
    EXPECT_EQ(Eval("((1+2)"), kExpressionError);
    EXPECT_EQ(Eval("()"), kExpressionError);
    EXPECT_EQ(Eval("(!)"), kExpressionError);
    EXPECT_EQ(Eval("(@)"), kExpressionError);
    std::string deep(100000, '(');
    deep += "1";
    deep += std::string(100000, ')');
    EXPECT_EQ(Eval(deep), kExpressionError);
}

}  // namespace
}  // namespace talu::interp
