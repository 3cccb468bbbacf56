#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "host/clock.h"
#include "stage/stage.h"
#include "stage/wait_icon.h"

namespace talu::app {

/// The wait-icon thread: while the book waits for the reader it steps through an icon's frames
/// on the screen, and erases the icon when stopped. At most one icon thread runs.
class WaitIconAnimator {
  public:
    /// clock paces the animation; uiPaused (a modal element is open) and
    /// textWindowHidden are the player's flags. All three outlive the animator.
    WaitIconAnimator(host::Clock& clock, const std::atomic<int>& uiPaused,
                     const std::atomic<int>& textWindowHidden);
    /// Stops the icon.
    ~WaitIconAnimator();
    WaitIconAnimator(const WaitIconAnimator&) = delete;
    WaitIconAnimator& operator=(const WaitIconAnimator&) = delete;

    /// Worker thread: draws the list's first frame at once (unless uiPaused), calls shown, then
    /// animates on the icon thread until Stop. For an empty list only shown is called. shown
    /// must not stop the icon; a Stop from another thread waits until shown has returned. stage
    /// and list must not change or go away until Stop has returned.
    void Start(stage::Stage& stage, const stage::WaitIconList& list,
               const std::function<void()>& shown);
    /// Stop wait icon: clears waitIconRun and joins the icon thread, which erases the icon within
    /// one animation step. Returns at once when no icon thread runs.
    void Stop();

    /// 1 while the icon should go on animating.
    std::atomic<int> waitIconRun{0};
    /// 1 from the start of an icon until its thread has erased it.
    std::atomic<int> waitIconAlive{0};

  private:
    void StopLocked();
    void Animate(stage::Stage& stage, const stage::WaitIconList& list, stage::Rect rect);
    bool SleepWhile(const std::atomic<int>& flag, int stepMs);

    host::Clock& clock_;
    const std::atomic<int>& uiPaused_;
    const std::atomic<int>& textWindowHidden_;
    std::mutex threadMutex_;  // the thread handle is started by the worker, joined by others
    std::thread thread_;
};

}  // namespace talu::app
