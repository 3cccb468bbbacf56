#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "stage/pixel_format.h"
#include "stage/rect.h"
#include "stage/surface.h"

// The front buffer that stands for the old primary surface. The worker thread draws into it,
// the wait-icon thread copies to it and a frontend reads it to paint, so every access holds one
// mutex. The screen gathers what changed into one dirty rectangle and tells the frontend that
// something changed; the frontend takes the rectangle and paints it from the buffer.
//
// Lock order: the stage's lock, then the screen's. A painter takes only the screen's lock, for
// as long as one copy, so a long effect never keeps it from painting. The changed callback runs
// with neither lock held (see HoldNotifications).
namespace talu::stage {

/// Default size of the screen: the stage the player was made for.
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

/// What changed on the screen since the last TakeDirty.
struct ScreenDirty {
    /// The union of the changed rectangles; empty when nothing changed.
    Rect rect;
};

/// A 16-bit front buffer guarded by a mutex. Owned by the display; lives as long as the program.
class Screen {
  public:
    /// Told that the screen changed; read what with TakeDirty. Called on the drawing thread with
    /// no lock of the screen or the stage held. It must not block: a window posts an event and
    /// paints later.
    using ChangedCallback = std::function<void()>;
    /// Reads the buffer: row y starts at pixels + y * pitch (pitch in pixels).
    using PixelReader =
        std::function<void(const uint16_t* pixels, int pitch, int width, int height)>;

    /// Creates the buffer (black) in format; false for sizes a Surface refuses.
    bool Create(const PixelFormat& format, int width = kScreenWidth, int height = kScreenHeight);
    /// The buffer's width in pixels (0 before Create).
    int Width() const;
    /// The buffer's height in pixels (0 before Create).
    int Height() const;
    /// The buffer's pixel layout.
    PixelFormat Format() const;

    /// Replaces the changed callback (an empty function removes it).
    void SetChangedCallback(ChangedCallback callback);

    /// Copies sourceRect of source to targetRect of the screen with Surface::CopyTo (clipped,
    /// flags as there), then records the clipped target rectangle. False when nothing was copied.
    bool Present(const Surface& source, const Rect& sourceRect, const Rect& targetRect,
                 uint32_t flags);
    /// Runs draw on the buffer under the lock; draw returns the rectangle it changed (empty for
    /// none), which is then clipped to the screen and recorded.
    void Draw(const std::function<Rect(Surface&)>& draw);

    /// The changes since the last call, which are then forgotten.
    ScreenDirty TakeDirty();
    /// Runs read on the buffer under the lock (nothing before Create), without copying; read
    /// must not call back into the screen.
    void WithPixels(const PixelReader& read) const;
    /// Copies the whole buffer into out under the lock, (re)creating out only when its size or
    /// format differs. False before Create or when out cannot be created.
    bool CopyOut(Surface& out) const;

    /// Until the matching ReleaseNotifications, changes are recorded but the callback waits;
    /// the last release calls it once for them all. The stage holds notifications while it
    /// holds its lock, so the callback never runs under the stage's lock. Any thread; nests.
    void HoldNotifications() { holds_.fetch_add(1); }
    void ReleaseNotifications();

  private:
    void Record(const Rect& changed);
    void Notify();

    mutable std::mutex mutex_;
    Surface buffer_;
    Rect dirty_;
    std::mutex callbackMutex_;
    ChangedCallback changed_;
    std::atomic<int> holds_{0};
    std::atomic<bool> pending_{false};
};

}  // namespace talu::stage
