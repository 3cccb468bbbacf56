#pragma once

#include <functional>
#include <mutex>

#include "stage/pixel_format.h"
#include "stage/rect.h"
#include "stage/surface.h"

// The front buffer that stands for the old primary surface. The worker thread draws into it,
// the wait-icon thread copies to it and a frontend reads it to paint, so every access holds one
// mutex; frontends learn of new content through the presented callback.
namespace talu::stage {

/// Default size of the screen: the stage the player was made for.
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

/// A 16-bit front buffer guarded by a mutex. Owned by the display; lives as long as the program.
class Screen {
  public:
    /// Called after each change with the changed rectangle, on the drawing thread and outside the
    /// screen's lock (so it may call CopyOut).
    using PresentedCallback = std::function<void(const Rect&)>;

    /// Creates the buffer (black) in format; false for sizes a Surface refuses.
    bool Create(const PixelFormat& format, int width = kScreenWidth, int height = kScreenHeight);
    /// The buffer's width in pixels (0 before Create).
    int Width() const;
    /// The buffer's height in pixels (0 before Create).
    int Height() const;
    /// The buffer's pixel layout.
    PixelFormat Format() const;

    /// Replaces the presented callback (an empty function removes it).
    void SetPresentedCallback(PresentedCallback callback);

    /// Copies sourceRect of source to targetRect of the screen with Surface::CopyTo (clipped,
    /// flags as there), then reports the clipped target rectangle. False when nothing was copied.
    bool Present(const Surface& source, const Rect& sourceRect, const Rect& targetRect,
                 uint32_t flags);
    /// Runs draw on the buffer under the lock; draw returns the rectangle it changed (empty for
    /// none), which is then clipped to the screen and reported.
    void Draw(const std::function<Rect(Surface&)>& draw);
    /// Copies the whole buffer into out (created at the screen's size and format) under the lock.
    /// False before Create or when out cannot be created.
    bool CopyOut(Surface& out) const;

  private:
    void Report(const Rect& changed);

    mutable std::mutex mutex_;
    Surface buffer_;
    std::mutex callbackMutex_;
    PresentedCallback presented_;
};

}  // namespace talu::stage
