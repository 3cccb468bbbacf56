#include "frontend/cli/reader_actions.h"

#include <gtest/gtest.h>

namespace talu::cli {
namespace {

using Kind = ReaderAction::Kind;

TEST(ReaderActions, ParsesEveryActionAndRefusesTheRest) {
    struct Case {
        std::string_view argument;
        int wait;
        Kind kind;
        int slot;
        std::string text;
    };
    constexpr int kCurrent = app::BookmarkManager::kCurrentSlot;
    const Case cases[] = {
        {"1:save", 1, Kind::kSave, kCurrent, ""},
        {"2:save:0", 2, Kind::kSave, 0, ""},
        {"3:load", 3, Kind::kLoad, kCurrent, ""},
        {"3:load:9", 3, Kind::kLoad, 9, ""},
        {"4:initialize:4", 4, Kind::kInitialize, 4, ""},
        {"5:comment:a:b c", 5, Kind::kComment, kCurrent, "a:b c"},
        {"6:next-choice", 6, Kind::kNextChoice, kCurrent, ""},
        {"7:hide-window", 7, Kind::kHideWindow, kCurrent, ""},
    };
    for (const Case& c : cases) {
        ReaderActions actions;
        std::string problem;
        ASSERT_TRUE(ParseReaderAction(c.argument, actions, problem)) << c.argument;
        ASSERT_EQ(actions.size(), 1u);
        EXPECT_EQ(actions.begin()->first, c.wait);
        EXPECT_EQ(actions.begin()->second.kind, c.kind) << c.argument;
        EXPECT_EQ(actions.begin()->second.slot, c.slot) << c.argument;
        EXPECT_EQ(actions.begin()->second.text, c.text);
    }
    for (std::string_view refused : {"0:save", "x:save", "1:save:10", "1:save:-1", "1:initialize",
                                     "1:next-choice:2", "1:comment", "1:jump", "save"}) {
        ReaderActions actions;
        std::string problem;
        EXPECT_FALSE(ParseReaderAction(refused, actions, problem)) << refused;
        EXPECT_FALSE(problem.empty());
        EXPECT_TRUE(actions.empty());
    }
}

TEST(ReaderActions, Dates) {
    const auto date = ParseLocalTime("2024-05-06T07:08");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->month, 5);
    EXPECT_EQ(date->day, 6);
    EXPECT_EQ(date->hour, 7);
    EXPECT_EQ(date->minute, 8);
    for (std::string_view bad :
         {"2024-13-06T07:08", "2024-05-06 07:08", "2024-05-06T24:00", "2024-5-6T7:8", ""}) {
        EXPECT_FALSE(ParseLocalTime(bad)) << bad;
    }
}

}  // namespace
}  // namespace talu::cli
