#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/clock.h"
#include "interp/latin_words.h"
#include "interp/text_layout.h"
#include "stage/rect.h"
#include "stage/surface.h"

// Typing: a run is laid out twice, on the text layer (which survives recomposition) and on the
// composed stage (which the screen shows), and then revealed character by character.
namespace talu::interp {

/// The typing speed as the player reads it now (fast-forward sets both to 0).
struct TextSettings {
    /// Per-character delay base in ms; the pause is half of it.
    int m_nTextWait = 50;
    /// 0 shows a run at once, otherwise character by character.
    int m_nTextEffect = 1;
};

/// Where a run is drawn; the surfaces belong to the stage.
struct TypingTargets {
    /// The stage-sized layer that keeps the text.
    stage::Surface& textLayer;
    /// The composed stage that is presented.
    stage::Surface& composed;
};

/// How a laid-out run reaches the screen; the pointed-to objects are the caller's.
struct RevealOptions {
    /// Every pause sleeps here; must not be null.
    host::Clock* clock = nullptr;
    /// Click flag 1: set by the reader's click to drop the remaining pauses; may be null.
    const std::atomic<int>* click = nullptr;
    /// Shows one rectangle of the composed stage plainly.
    std::function<void(const stage::Rect&)> present;
};

/// Draws text on both targets from the same pen (the pen ends after the text) and returns
/// whether it all fitted; remainder then holds the rest. One rectangle per drawn character is
/// appended to rectangles. wrap (may be null) wraps Latin words at spaces.
bool PlaceRun(TextLayout& layout, const TypingTargets& targets, std::string_view text,
              std::string& remainder, std::vector<stage::Rect>& rectangles,
              const WordWrap* wrap = nullptr);

/// Presents the characters' rectangles: one by one with trunc(m_nTextWait x 0.5) ms before
/// every one but the first while the click flag is clear, or their union at once when the
/// text effect is off.
void RevealRun(const std::vector<stage::Rect>& rectangles, const TextSettings& settings,
               const RevealOptions& options);

}  // namespace talu::interp
