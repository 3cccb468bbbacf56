#include "script/variable_expansion.h"

#include <gtest/gtest.h>

namespace talu::script {
namespace {

class ExpandTest : public ::testing::Test {
  protected:
    StringTable variables;

    std::string Expand(std::string_view value) {
        TagRecord record;
        record.SetCommand(2);
        record.AddAttribute(62, value);
        ExpandVariables(record, variables);
        return std::string(*record.FindAttribute(62));
    }
};

TEST_F(ExpandTest, ReplacesEveryUseOfAName) {
    variables.Set("name", "Taro");
    EXPECT_EQ(Expand("Hello {name}, {name}!"), "Hello Taro, Taro!");
}

TEST_F(ExpandTest, AnUnknownNameStopsTheValue) {
    variables.Set("a", "1");
    EXPECT_EQ(Expand("{a}{b}"), "1{b}");
    variables.Set("b", "2");
    variables.Set("a", "");
    EXPECT_EQ(Expand("{c}{b}"), "{c}{b}");
}

TEST_F(ExpandTest, BracesInsideSquareBracketsAreLeftAlone) {
    variables.Set("x", "X");
    variables.Set("y", "Y");
    EXPECT_EQ(Expand("[{x}]"), "[{x}]");
    EXPECT_EQ(Expand("{x}[{y}]"), "X[{y}]");
    EXPECT_EQ(Expand("\"{x}\"[{x}]"), "\"X\"[{x}]");  // quotes in the text stay as they are
}

TEST_F(ExpandTest, NestedUsesExpandUntilSettled) {
    variables.Set("a", "{b}");
    variables.Set("b", "1");
    EXPECT_EQ(Expand("{a}"), "1");
}

TEST_F(ExpandTest, SelfReferencesTerminate) {
    variables.Set("loop", "{loop}");
    EXPECT_EQ(Expand("{loop}"), "{loop}");
    variables.Set("grow", "x{grow}");
    EXPECT_LE(Expand("{grow}").size(), 1u << 21);
}

TEST_F(ExpandTest, TrailBytesAreNotBraces) {
    variables.Set("\x83{", "bad");  // 0x83 0x7B is one double-byte character
    variables.Set("k", "v");
    EXPECT_EQ(Expand("\x83{k}"), "\x83{k}");
    EXPECT_EQ(Expand("{\x83{}"), "bad");
}

TEST_F(ExpandTest, TheCommandIsNeverExpanded) {
    variables.Set("x", "5");
    TagRecord record;
    record.AddPair("___COMMAND___", "{x}");
    record.AddAttribute(63, "{x}");
    ExpandVariables(record, variables);
    EXPECT_EQ(record.Entries()[0], "___COMMAND___\t{x}");
    EXPECT_EQ(record.Entries()[1], "63\t5");
}

}  // namespace
}  // namespace talu::script
