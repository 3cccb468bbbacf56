#include "app/wait_icon_animator.h"

namespace talu::app {
namespace {

constexpr int kStepMs = 10;
constexpr int kHiddenStepMs = 20;
// The elapsed counter restarts here, so a frame that never changes cannot overflow it.
constexpr int kElapsedWrap = 100000;

}  // namespace

WaitIconAnimator::WaitIconAnimator(host::Clock& clock, const std::atomic<int>& uiPaused,
                                   const std::atomic<int>& textWindowHidden)
    : clock_(clock), uiPaused_(uiPaused), textWindowHidden_(textWindowHidden) {}

WaitIconAnimator::~WaitIconAnimator() {
    Stop();
}

void WaitIconAnimator::Start(stage::Stage& stage, const stage::WaitIconList& list,
                             const std::function<void()>& shown) {
    std::lock_guard lock(threadMutex_);
    StopLocked();
    stage::Screen* screen = stage.Output().screen;
    if (list.Count() == 0 || screen == nullptr) {
        shown();
        return;
    }
    waitIconRun = 1;
    waitIconAlive = 1;
    // The first frame is drawn here, before the worker ends, so whoever looks at the screen
    // once the book waits finds the icon already there.
    const stage::Rect rect = stage::FrameRect(list.Frame(0), list.anchor);
    if (uiPaused_.load() == 0) {
        stage::EraseFrame(stage, rect);
        stage::DrawFrame(*screen, list.Frame(0), rect);
    }
    shown();
    thread_ = std::thread([this, &stage, &list, rect] { Animate(stage, list, rect); });
}

void WaitIconAnimator::Stop() {
    std::lock_guard lock(threadMutex_);
    StopLocked();
}

void WaitIconAnimator::StopLocked() {
    waitIconRun = 0;
    if (thread_.joinable()) {
        thread_.join();  // the thread sees the cleared flag within one step and erases the icon
    }
}

bool WaitIconAnimator::SleepWhile(const std::atomic<int>& flag, int stepMs) {
    while (flag.load() != 0 && waitIconRun.load() == 1) {
        clock_.SleepMs(stepMs);
    }
    return waitIconRun.load() == 1;
}

void WaitIconAnimator::Animate(stage::Stage& stage, const stage::WaitIconList& list,
                               stage::Rect rect) {
    stage::Screen& screen = *stage.Output().screen;
    int current = 0;
    int elapsed = 0;
    while (waitIconRun.load() == 1) {
        if (!SleepWhile(uiPaused_, kStepMs)) {
            break;
        }
        if (stage::FrameDue(list.Frame(current), elapsed)) {
            elapsed = 0;
            current = list.Next(current);
            rect = stage::FrameRect(list.Frame(current), list.anchor);
            if (uiPaused_.load() == 0) {
                stage::EraseFrame(stage, rect);
                stage::DrawFrame(screen, list.Frame(current), rect);
            }
        }
        clock_.SleepMs(kStepMs);
        elapsed += kStepMs;
        if (elapsed > kElapsedWrap) {
            elapsed = 0;
        }
        if (!SleepWhile(textWindowHidden_, kHiddenStepMs)) {
            break;
        }
    }
    stage::EraseFrame(stage, rect);
    waitIconAlive = 0;
}

}  // namespace talu::app
