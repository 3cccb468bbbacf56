#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// Time as the player sees it: a millisecond tick and a sleep. Everything that pauses takes a Clock,
// so tests run on virtual time and can assert every pause.
namespace talu::host {

/// A millisecond clock with sleeping; shared by reference, owned by whoever made it.
class Clock {
  public:
    virtual ~Clock() = default;
    /// Milliseconds since an arbitrary start; never goes backwards.
    virtual int64_t NowMs() = 0;
    /// Pauses the calling thread for at least ms milliseconds (nothing for ms <= 0).
    virtual void SleepMs(int ms) = 0;
};

/// The real clock: std::chrono::steady_clock and std::this_thread::sleep_for.
class SteadyClock : public Clock {
  public:
    int64_t NowMs() override;
    void SleepMs(int ms) override;
};

/// Test time: every sleep returns at once, advances the time and is recorded. Thread-safe.
class VirtualClock : public Clock {
  public:
    int64_t NowMs() override;
    /// Records ms, adds it to the time (when positive) and calls the sleep hook, if any.
    void SleepMs(int ms) override;

    /// Moves the time on without recording a sleep.
    void Advance(int64_t ms);
    /// Every sleep so far, in order, as requested.
    std::vector<int> Sleeps() const;
    /// Forgets the recorded sleeps (the time stays).
    void ClearSleeps();
    /// Called after each sleep with its length, outside the clock's lock; lets a test change the
    /// world while the code under test waits.
    void SetSleepHook(std::function<void(int)> hook);

  private:
    mutable std::mutex mutex_;
    int64_t now_ = 0;
    std::vector<int> sleeps_;
    std::function<void(int)> hook_;
};

}  // namespace talu::host
