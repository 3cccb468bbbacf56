#include "host/clock.h"

#include <gtest/gtest.h>

#include <atomic>
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

// Closing the book interrupts its clock: a pause in progress ends at once, later ones are
// skipped (a virtual one is not recorded) until Resume, after which a pause lasts its length.
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
    const int64_t resumed = steady.NowMs();
    EXPECT_TRUE(steady.SleepMs(15));
    EXPECT_GE(steady.NowMs() - resumed, 15);

    VirtualClock virtualClock;
    virtualClock.Interrupt();
    EXPECT_FALSE(virtualClock.SleepMs(100));
    EXPECT_EQ(virtualClock.NowMs(), 0);
    EXPECT_TRUE(virtualClock.Sleeps().empty());
    virtualClock.Resume();
    EXPECT_TRUE(virtualClock.SleepMs(100));
    EXPECT_EQ(virtualClock.Sleeps(), (std::vector<int>{100}));
}

// An Interrupt that lands just as a sleeper checks the flag must still wake it: the flag is set
// under the sleeper's mutex, or the wake-up falls between the check and the wait and the whole
// pause is slept out. A sleeper starts pause after pause (each ends at once while interrupted);
// each round resumes the clock and interrupts it again after a spin of varying length, so the
// interrupt sweeps across the steps with which a pause starts.
TEST(ClockTest, InterruptJustAsASleeperStartsIsNeverLost) {
    constexpr int kRounds = 6000;
    constexpr auto kLongPause = std::chrono::milliseconds(2000);
    SteadyClock clock;
    clock.Interrupt();
    std::atomic<bool> stop{false};
    std::atomic<long> pauses{0};
    std::thread sleeper([&] {
        while (!stop.load()) {
            clock.SleepMs(static_cast<int>(kLongPause.count()));
            ++pauses;
        }
    });
    int lost = 0;
    int round = 1;
    const auto testStart = std::chrono::steady_clock::now();
    for (; round <= kRounds && lost == 0; ++round) {
        clock.Resume();
        for (int spin = 0; spin < round % 128; ++spin) {
            std::atomic_signal_fence(std::memory_order_seq_cst);  // a pause the compiler keeps
        }
        clock.Interrupt();
        // The pause running now and the next both end at once.
        const long seen = pauses.load();
        const auto start = std::chrono::steady_clock::now();
        while (pauses.load() < seen + 2) {
            std::this_thread::yield();
        }
        lost += std::chrono::steady_clock::now() - start > kLongPause / 2;
        if (std::chrono::steady_clock::now() - testStart > std::chrono::seconds(30)) {
            break;  // a slow machine: the rounds run so far still count
        }
    }
    stop = true;
    sleeper.join();
    EXPECT_EQ(lost, 0) << "in round " << round - 1;
}

}  // namespace
}  // namespace talu::host
