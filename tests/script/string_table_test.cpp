#include "script/string_table.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace talu::script {
namespace {

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

}  // namespace
}  // namespace talu::script
