#include "script/tag_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <sstream>

#include "script/numbers.h"
#include "script/string_table.h"
#include "script/variable_expansion.h"

namespace talu::script {
namespace {

TEST(TagRecord, FirstOfTwoDuplicatesWins) {
    TagRecord record;
    record.SetCommand(22);
    record.SetCommand(5);
    record.MarkClosing();
    record.AddAttribute(62, "first");
    record.AddAttribute(62, "second");
    int command = 0;
    ASSERT_TRUE(record.GetCommand(command));
    EXPECT_EQ(command, 22);
    EXPECT_TRUE(record.IsClosing());
    std::string value;
    ASSERT_TRUE(record.GetAttribute(62, value));
    EXPECT_EQ(value, "first");
}

TEST(TagRecord, SetAttributeReplacesAtTheHead) {
    TagRecord record;
    record.SetCommand(5);
    record.AddAttribute(620, "other");  // a longer key with the same prefix is not a match
    record.SetAttribute(62, "new");
    record.AddAttribute(62, "appended");
    record.SetAttribute(62, "newer");
    EXPECT_EQ(record.Entries(), (std::vector<std::string>{"62\tnewer", "___COMMAND___\t5",
                                                          "620\tother", "62\tappended"}));
}

TEST(TagRecord, MissingValuesLeaveOutParametersAlone) {
    TagRecord record;
    std::string text = "keep";
    int number = 7;
    int command = 9;
    EXPECT_FALSE(record.GetAttribute(62, text));
    EXPECT_FALSE(record.GetAttributeInt(62, number));
    EXPECT_FALSE(record.GetCommand(command));
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(number, 7);
    EXPECT_EQ(command, 0);  // the command alone is reset
}

TEST(TagRecord, NumbersReadSignAndLeadingDigitsAndSaturate) {
    const std::pair<std::string, int> cases[] = {{"-12", -12},
                                                 {"+7", 7},
                                                 {"12px", 12},
                                                 {"px", 0},
                                                 {" 5", 0},
                                                 {"", 0},
                                                 {"99999999999999999999", INT_MAX},
                                                 {"-99999999999999999999", INT_MIN},
                                                 {"-2147483648", INT_MIN}};
    for (const auto& [text, number] : cases) {
        TagRecord record;
        record.AddAttribute(69, text);
        int value = -1;
        record.GetAttributeInt(69, value);
        EXPECT_EQ(value, number) << text;
    }
    EXPECT_EQ(ParseDigits("-5"), 0);
    EXPECT_EQ(ParseDigits("42x"), 42);
    EXPECT_EQ(ParseDigits("2147483648"), INT_MAX);
    EXPECT_EQ(ParseSignedDigits("-"), 0);
    EXPECT_EQ(ParseSignedDigits("--5"), 0);
}

TEST(TagRecord, FileFormKeepsTheOrderAndNeedsTheStartAndEndLines) {
    TagRecord record;
    record.SetCommand(26);
    record.AddAttribute(76, "#b");
    record.AddAttribute(76, "#a");
    record.AddPair("\x95\x5C", "x\x95\x5Cy");
    record.AddAttribute(78, "");
    std::stringstream file;
    record.WriteTo(file);
    EXPECT_EQ(file.str().substr(0, 17), "###START_LIST###\n");
    TagRecord read;
    ASSERT_TRUE(read.ReadFrom(file));
    EXPECT_EQ(read.Entries(), record.Entries());

    TagRecord broken;
    std::istringstream noStart("62\tx\n###END_LIST###\n");
    EXPECT_FALSE(broken.ReadFrom(noStart));
    EXPECT_TRUE(broken.Empty());
    std::istringstream noEnd("junk\n###START_LIST###\r\n62\n62\tx\r\n");  // CR LF files read too
    EXPECT_FALSE(broken.ReadFrom(noEnd));
    EXPECT_EQ(broken.Entries(), (std::vector<std::string>{"62", "62\tx"}));
    std::string value;
    ASSERT_TRUE(broken.GetAttribute(62, value));  // entries without a tab are skipped
    EXPECT_EQ(value, "x");
}

TEST(TagRecord, KeysSplitAtTheFirstTabOutsideDoubleByteCharacters) {
    auto split = SplitEntry(
        "\x82\x09"
        "a\tb");  // 0x82 0x09 is stepped over as one character
    ASSERT_TRUE(split);
    EXPECT_EQ(split->first,
              "\x82\x09"
              "a");
    EXPECT_EQ(split->second, "b");
    EXPECT_FALSE(SplitEntry("no tab"));
}

std::map<std::string, std::string> Written(const StringTable& table) {
    std::stringstream file;
    table.WriteTo(file);
    StringTable read;
    EXPECT_TRUE(read.ReadFrom(file));
    return {read.Values().begin(), read.Values().end()};
}

using Pairs = std::map<std::string, std::string>;

TEST(StringTable, RecordedChangesAreWrittenAsOfTheLastCommitEvenAfterAClear) {
    StringTable table;
    table.Set("old", "1");
    table.SetRecorded("old", "2");
    table.SetRecorded("old", "3");  // a repeated change keeps the committed value
    table.SetRecorded("new", "x");
    table.SetRecorded("new", "y");
    table.Set("plain", "p");
    EXPECT_EQ(Written(table), (Pairs{{"old", "1"}, {"plain", "p"}}));
    std::string value;
    ASSERT_TRUE(table.Lookup("old", value));
    EXPECT_EQ(value, "3");

    table.CommitShadow();
    EXPECT_EQ(Written(table), (Pairs{{"old", "3"}, {"new", "y"}, {"plain", "p"}}));

    // Clear keeps the shadow: "fresh" is still new as of the last commit.
    table.SetRecorded("fresh", "1");
    table.Clear();
    EXPECT_EQ(table.Size(), 0u);
    table.Set("fresh", "2");
    EXPECT_TRUE(Written(table).empty());
}

TEST(StringTable, ReadFromReplacesEverythingAndSkipsEmptyKeys) {
    StringTable table;
    table.Set("stale", "1");
    table.SetRecorded("shadowed", "1");
    std::istringstream in("header\n###START_LIST###\nk\tv\n\tno key\nnotab\n###END_LIST###\n");
    ASSERT_TRUE(table.ReadFrom(in));
    EXPECT_EQ(Pairs(table.Values().begin(), table.Values().end()), (Pairs{{"k", "v"}}));
    table.Set("shadowed", "2");
    EXPECT_EQ(Written(table), (Pairs{{"k", "v"}, {"shadowed", "2"}}));

    std::istringstream truncated("###START_LIST###\nk\tv\n");
    EXPECT_FALSE(table.ReadFrom(truncated));
    std::istringstream empty("");
    EXPECT_FALSE(table.ReadFrom(empty));
}

TEST(StringTable, MapFormOfATag) {
    StringTable table;
    table.Set("___COMMAND___", "22abc");
    table.SetAttribute(69, "-5");
    int command = 0;
    int width = 3;
    ASSERT_TRUE(table.GetCommand(command));
    EXPECT_EQ(command, 22);
    ASSERT_TRUE(table.GetAttributeInt(69, width));
    EXPECT_EQ(width, 0);  // the table reads digits only, no sign
}

std::string Expand(std::string_view value, const StringTable& variables) {
    TagRecord record;
    record.SetCommand(2);
    record.AddAttribute(62, value);
    ExpandVariables(record, variables);
    return std::string(*record.FindAttribute(62));
}

TEST(ExpandVariables, ValuesOfAttributes) {
    StringTable variables;
    variables.Set("name", "Taro");
    variables.Set("one", "1");
    variables.Set("outer", "{one}");
    variables.Set("loop", "{loop}");
    variables.Set("\x83{", "bad");  // 0x83 0x7B is one double-byte character
    const std::pair<std::string, std::string> cases[] = {
        {"Hello {name}, {name}!", "Hello Taro, Taro!"},
        {"{one}{nobody}", "1{nobody}"},  // an unknown name stops the value
        {"{nobody}{one}", "{nobody}{one}"},
        // Braces inside square brackets are left alone; quotes in the text stay as they are.
        {"[{name}]", "[{name}]"},
        {"{name}[{one}]", "Taro[{one}]"},
        {"\"{name}\"[{name}]", "\"Taro\"[{name}]"},
        {"{outer}", "1"},  // nested uses expand until settled
        {"{loop}", "{loop}"},
        {"\x83{name}", "\x83{name}"},  // a trail byte is no brace
        {"\x83{{name}", "\x83{Taro"},
        {"{\x83{}", "bad"}};
    for (const auto& [value, expanded] : cases) {
        EXPECT_EQ(Expand(value, variables), expanded) << value;
    }
    variables.Set("grow", "x{grow}");
    EXPECT_LE(Expand("{grow}", variables).size(), 1u << 21);
}

TEST(ExpandVariables, TheCommandIsNeverExpanded) {
    StringTable variables;
    variables.Set("x", "5");
    TagRecord record;
    record.AddPair("___COMMAND___", "{x}");
    record.AddAttribute(63, "{x}");
    ExpandVariables(record, variables);
    EXPECT_EQ(record.Entries(), (std::vector<std::string>{"___COMMAND___\t{x}", "63\t5"}));
}

}  // namespace
}  // namespace talu::script
