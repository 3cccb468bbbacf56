#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stage/picture.h"
#include "stage/picture_loader.h"
#include "stage/rect.h"
#include "stage/screen.h"

// The click-wait icons: per kind of wait (page or line) a ring of small keyed pictures that the
// wait-icon thread draws straight onto the screen, over the presented stage, while the book
// waits for the reader.
namespace talu::stage {

class Stage;

/// A point on the stage.
struct Point {
    int x = 0;
    int y = 0;
};

/// One frame of a wait icon: a keyed picture (its source is the resolved file path, its left
/// and top its own position) and how long it is shown.
struct WaitIconFrame : Picture {
    /// 1 when the frame has no position of its own and is drawn at the list's anchor.
    int32_t followText = 1;
    /// Milliseconds the frame stays; 0 means it never gives way to the next.
    int32_t time = 0;
};

/// Where AddFrame puts a frame: its time and, when both are given, its own position.
struct FramePlacement {
    int32_t time = 0;
    std::optional<int32_t> left;
    std::optional<int32_t> top;
};

/// The frames of one kind of wait, in definition order; after the last comes the first again.
/// Owned by the stage; changed by the worker only while no icon is animated.
class WaitIconList {
  public:
    /// mode is the name written into the ICON lines: "P" or "BR".
    explicit WaitIconList(std::string mode) : mode_(std::move(mode)) {}
    WaitIconList(const WaitIconList&) = delete;
    WaitIconList& operator=(const WaitIconList&) = delete;

    /// "P" or "BR".
    const std::string& Mode() const { return mode_; }
    /// Where frames without their own position are drawn (the wait mark of the wait).
    Point anchor;

    /// Loads path with automatic transparency and appends it; false, list unchanged, when the
    /// picture cannot be loaded (the caller reports it).
    bool AddFrame(const PictureLoader& loader, std::string_view path,
                  const FramePlacement& placement);
    /// Destroys every frame.
    void ClearFrames() { frames_.clear(); }
    /// Number of frames.
    int Count() const { return static_cast<int>(frames_.size()); }
    /// Frame i (0 <= i < Count()), in ring order.
    const WaitIconFrame& Frame(int i) const { return frames_[i]; }
    /// The frame after frame i in the ring.
    int Next(int i) const { return (i + 1) % Count(); }
    /// Appends one ICON line per frame, in ring order, as bookmarks store them.
    void WriteIconTags(std::vector<std::string>& lines) const;

  private:
    std::string mode_;
    std::vector<WaitIconFrame> frames_;
};

/// The screen rectangle of frame: at its own position, or at anchor when it follows the text.
Rect FrameRect(const WaitIconFrame& frame, Point anchor);
/// True when the frame has been shown long enough: its time is not 0 and elapsedMs exceeds it.
bool FrameDue(const WaitIconFrame& frame, int elapsedMs);
/// Copies the whole frame to rect's top-left corner on the screen, leaving key pixels out.
void DrawFrame(Screen& screen, const WaitIconFrame& frame, const Rect& rect);
/// Copies rect of the stage surface (the whole visible stage when none) to the same place on
/// the stage's screen, under the stage's lock; nothing without a screen.
void EraseFrame(Stage& stage, const std::optional<Rect>& rect);

}  // namespace talu::stage
