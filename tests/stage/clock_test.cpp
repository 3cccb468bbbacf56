#include <gtest/gtest.h>

#include "host/clock.h"

namespace talu::host {
namespace {

TEST(VirtualClockTest, SleepsAdvanceTimeAndAreRecorded) {
    VirtualClock clock;
    clock.SleepMs(100);
    clock.SleepMs(0);
    clock.SleepMs(-5);
    clock.Advance(7);
    EXPECT_EQ(clock.NowMs(), 107);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{100, 0, -5}));
    clock.ClearSleeps();
    EXPECT_TRUE(clock.Sleeps().empty());
    EXPECT_EQ(clock.NowMs(), 107);
}

TEST(VirtualClockTest, HookSeesEverySleep) {
    VirtualClock clock;
    int total = 0;
    clock.SetSleepHook([&](int ms) { total += ms; });
    clock.SleepMs(20);
    clock.SleepMs(30);
    EXPECT_EQ(total, 50);
}

TEST(SteadyClockTest, SleepLastsAtLeastItsLength) {
    SteadyClock clock;
    const int64_t start = clock.NowMs();
    clock.SleepMs(15);
    EXPECT_GE(clock.NowMs() - start, 15);
}

}  // namespace
}  // namespace talu::host
