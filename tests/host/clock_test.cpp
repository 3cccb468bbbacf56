#include "host/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

// Closing the book interrupts its clock: a pause in progress ends at once, later ones are
// skipped (a virtual one is not recorded) until Resume.
TEST(ClockTest, InterruptEndsPausesUntilResumed) {
    SteadyClock steady;
    std::thread interrupter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        steady.Interrupt();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(steady.SleepMs(60000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    interrupter.join();
    EXPECT_FALSE(steady.SleepMs(60000));
    steady.Resume();
    EXPECT_TRUE(steady.SleepMs(1));

    VirtualClock virtualClock;
    virtualClock.Interrupt();
    EXPECT_FALSE(virtualClock.SleepMs(100));
    EXPECT_EQ(virtualClock.NowMs(), 0);
    EXPECT_TRUE(virtualClock.Sleeps().empty());
    virtualClock.Resume();
    EXPECT_TRUE(virtualClock.SleepMs(100));
    EXPECT_EQ(virtualClock.Sleeps(), (std::vector<int>{100}));
}

}  // namespace
}  // namespace talu::host
