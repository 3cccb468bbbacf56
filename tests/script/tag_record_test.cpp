#include "script/tag_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "script/numbers.h"
#include "script/string_table.h"

namespace talu::script {
namespace {

TEST(TagRecord, FirstOfTwoDuplicatesWinsButTheTableTakesTheLast) {
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

    StringTable table;
    table.FillFromRecord(record);
    ASSERT_TRUE(table.GetAttribute(62, value));
    EXPECT_EQ(value, "second");
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

}  // namespace
}  // namespace talu::script
