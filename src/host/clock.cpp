#include "host/clock.h"

#include <chrono>
#include <thread>
#include <utility>

namespace talu::host {

int64_t SteadyClock::NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SteadyClock::SleepMs(int ms) {
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

int64_t VirtualClock::NowMs() {
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualClock::SleepMs(int ms) {
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
