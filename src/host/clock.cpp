#include "host/clock.h"

#include <utility>

namespace talu::host {

void Clock::Interrupt() {
    {
        std::lock_guard lock(interruptMutex_);
        interrupt_ = true;
    }
    interrupted_.notify_all();
}

void Clock::Resume() {
    std::lock_guard lock(interruptMutex_);
    interrupt_ = false;
}

bool Clock::Interrupted() const {
    return interrupt_.load();
}

bool Clock::WaitUnlessInterrupted(std::chrono::milliseconds length) {
    std::unique_lock lock(interruptMutex_);
    return !interrupted_.wait_for(lock, length, [this] { return interrupt_.load(); });
}

int64_t SteadyClock::NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool SteadyClock::SleepMs(int ms) {
    if (ms <= 0) {
        return !Interrupted();
    }
    return WaitUnlessInterrupted(std::chrono::milliseconds(ms));
}

int64_t VirtualClock::NowMs() {
    std::lock_guard lock(mutex_);
    return now_;
}

bool VirtualClock::SleepMs(int ms) {
    if (Interrupted()) {
        return false;
    }
    std::function<void(int)> hook;
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(ms);
        if (ms > 0) {
            now_ += ms;
        }
        hook = hook_;
    }
    if (hook) {
        hook(ms);
    }
    return true;
}

void VirtualClock::Advance(int64_t ms) {
    std::lock_guard lock(mutex_);
    now_ += ms;
}

std::vector<int> VirtualClock::Sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

void VirtualClock::ClearSleeps() {
    std::lock_guard lock(mutex_);
    sleeps_.clear();
}

void VirtualClock::SetSleepHook(std::function<void(int)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

}  // namespace talu::host
