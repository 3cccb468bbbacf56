#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// Time as the player sees it: a millisecond tick and a sleep. Everything that pauses takes a Clock,
// so tests run on virtual time and can assert every pause, and so closing the book can end every
// pause at once through the one clock it sleeps on.
namespace talu::host {

/// A millisecond clock with sleeping; shared by reference, owned by whoever made it.
class Clock {
  public:
    virtual ~Clock() = default;
    /// Milliseconds since an arbitrary start; never goes backwards.
    virtual int64_t NowMs() = 0;
    /// Pauses the calling thread for at least ms milliseconds (nothing for ms <= 0). False when
    /// the clock is interrupted: the pause then ends (or is skipped) at once.
    virtual bool SleepMs(int ms) = 0;

    /// Ends every pause in progress at once, and makes every later pause return false at once
    /// until Resume. Any thread.
    void Interrupt();
    /// Pauses last their length again. Any thread.
    void Resume();
    /// True between Interrupt and Resume.
    bool Interrupted() const;

  protected:
    /// Waits up to length of real time; false when the clock is or becomes interrupted.
    bool WaitUnlessInterrupted(std::chrono::milliseconds length);

  private:
    mutable std::mutex interruptMutex_;
    std::condition_variable interrupted_;
    // Written under the mutex (so a waiter cannot miss it), read without it.
    std::atomic<bool> interrupt_{false};
};

/// The real clock: std::chrono::steady_clock, sleeping on a condition variable.
class SteadyClock : public Clock {
  public:
    int64_t NowMs() override;
    bool SleepMs(int ms) override;
};

/// Test time: every sleep returns at once, advances the time and is recorded. Thread-safe. An
/// interrupted clock neither records nor advances (the pause did not happen).
class VirtualClock : public Clock {
  public:
    int64_t NowMs() override;
    /// Records ms, adds it to the time (when positive) and calls the sleep hook, if any.
    bool SleepMs(int ms) override;

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
