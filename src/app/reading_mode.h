#pragma once

#include <string_view>

namespace talu::app {

/// How the book goes on by itself: not at all, skipping what was read, or reading on at a pace.
enum class ReadingMode { kNone, kSkip, kAuto };

/// Why skip or auto ended.
enum class ModeStop {
    /// Links wait for the reader.
    kChoice,
    /// Skip reached a page not read before.
    kUnread,
    /// A box (or the automatic-bookmark dialog) asks the reader something.
    kBox,
    /// A form waits for its SUBMIT.
    kForm,
    /// The reader clicked, pressed a key, opened a menu or let go of the held key.
    kClick,
    /// The book ended, stopped at a TRAP, or another book or a bookmark replaced it.
    kEnd,
};

/// The word traces and the window use for reason: "choice", "unread", "box", "form", "click",
/// "end".
std::string_view ModeStopName(ModeStop reason);

/// What the frontend hears when the mode changes: the new mode and, when a mode ended, why.
struct ModeChange {
    ReadingMode mode = ReadingMode::kNone;
    /// The mode that was on before.
    ReadingMode before = ReadingMode::kNone;
    /// Meaningful when before is not kNone.
    ModeStop reason = ModeStop::kClick;
    friend bool operator==(const ModeChange&, const ModeChange&) = default;
};

}  // namespace talu::app
