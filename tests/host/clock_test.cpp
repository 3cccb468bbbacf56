#include "host/clock.h"

#include <gtest/gtest.h>

namespace talu::host {
namespace {

TEST(VirtualClockTest, SleepsAdvanceTimeAndAreRecordedAndHooked) {
    VirtualClock clock;
    int hooked = 0;
    clock.SetSleepHook([&](int ms) { hooked += ms; });
    clock.SleepMs(100);
    clock.SleepMs(0);
    clock.SleepMs(-5);
    clock.Advance(7);
    EXPECT_EQ(clock.NowMs(), 107);
    EXPECT_EQ(hooked, 95);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{100, 0, -5}));
    clock.ClearSleeps();
    EXPECT_TRUE(clock.Sleeps().empty());
    EXPECT_EQ(clock.NowMs(), 107);
}

TEST(SteadyClockTest, SleepLastsAtLeastItsLength) {
    SteadyClock clock;
    const int64_t start = clock.NowMs();
    clock.SleepMs(15);
    EXPECT_GE(clock.NowMs() - start, 15);
}

}  // namespace
}  // namespace talu::host
