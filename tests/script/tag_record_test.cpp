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
    record.SetCommand(5);
    record.AddAttribute(62, "first");
    record.AddAttribute(62, "second");
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
    EXPECT_EQ(record.Entries().front(), "62\tnew");
    record.AddAttribute(62, "appended");
    record.SetAttribute(62, "newer");
    std::string value;
    ASSERT_TRUE(record.GetAttribute(62, value));
    EXPECT_EQ(value, "newer");
    EXPECT_EQ(record.Entries().size(), 4u);
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

TEST(TagRecord, IntegerAttributesReadSignAndLeadingDigits) {
    TagRecord record;
    auto read = [&record](std::string_view text) {
        record.Clear();
        record.AddAttribute(69, text);
        int value = -1;
        record.GetAttributeInt(69, value);
        return value;
    };
    EXPECT_EQ(read("-12"), -12);
    EXPECT_EQ(read("+7"), 7);
    EXPECT_EQ(read("12px"), 12);
    EXPECT_EQ(read("px"), 0);
    EXPECT_EQ(read(" 5"), 0);
    EXPECT_EQ(read(""), 0);
    EXPECT_EQ(read("99999999999999999999"), INT_MAX);
    EXPECT_EQ(read("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(read("-2147483648"), INT_MIN);
}

TEST(TagRecord, CommandAndClosingMark) {
    TagRecord record;
    record.SetCommand(22);
    record.SetCommand(5);
    EXPECT_FALSE(record.IsClosing());
    record.MarkClosing();
    int command = 0;
    ASSERT_TRUE(record.GetCommand(command));
    EXPECT_EQ(command, 22);
    EXPECT_TRUE(record.IsClosing());
}

TEST(TagRecord, EntriesWithoutATabAreSkippedByLookups) {
    std::istringstream in("###START_LIST###\n62\n62\tvalue\n###END_LIST###\n");
    TagRecord record;
    ASSERT_TRUE(record.ReadFrom(in));
    std::string value;
    ASSERT_TRUE(record.GetAttribute(62, value));
    EXPECT_EQ(value, "value");
}

TEST(TagRecord, WriteAndReadKeepTheOrderExactly) {
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
}

TEST(TagRecord, ReadFromNeedsTheStartAndEndLines) {
    TagRecord record;
    std::istringstream noStart("62\tx\n###END_LIST###\n");
    EXPECT_FALSE(record.ReadFrom(noStart));
    EXPECT_TRUE(record.Empty());

    std::istringstream noEnd("junk\n###START_LIST###\r\n62\tx\r\n");  // CR LF files read too
    EXPECT_FALSE(record.ReadFrom(noEnd));
    ASSERT_EQ(record.Entries().size(), 1u);
    EXPECT_EQ(record.Entries()[0], "62\tx");
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

TEST(Numbers, DigitsOnlyVersusSigned) {
    EXPECT_EQ(ParseDigits("-5"), 0);
    EXPECT_EQ(ParseDigits("42x"), 42);
    EXPECT_EQ(ParseDigits("2147483648"), INT_MAX);
    EXPECT_EQ(ParseSignedDigits("-"), 0);
    EXPECT_EQ(ParseSignedDigits("--5"), 0);
}

}  // namespace
}  // namespace talu::script
