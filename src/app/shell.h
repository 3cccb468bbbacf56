#pragma once

#include <optional>
#include <string>
#include <variant>

#include "app/reading_mode.h"
#include "app/shown_page.h"

namespace talu::app {

/// An automatic-bookmark point: offer loading the current slot; the book stopped.
struct AutoBookmarkMessage {
    friend bool operator==(const AutoBookmarkMessage&, const AutoBookmarkMessage&) = default;
};

/// /FORM: the form is complete and waits for the reader; the interface thread calls
/// Player::ShowForm.
struct FormCompleteMessage {
    friend bool operator==(const FormCompleteMessage&, const FormCompleteMessage&) = default;
};

/// What the worker hands to the interface thread; each message carries its own data.
using PlayerMessage = std::variant<AutoBookmarkMessage, FormCompleteMessage>;

/// The frontend as the run loop sees it: the desktop window, or the headless runner.
class Shell {
  public:
    virtual ~Shell() = default;
    /// Worker thread: queues message for the interface thread and returns at once. Messages
    /// must reach the interface thread in the order posted.
    virtual void Post(PlayerMessage message) = 0;
    /// Shows a modal box (caption "talu"; CP932 text) and returns when it is closed: true for
    /// OK. withCancel adds a Cancel button. Called from the worker too, which then waits.
    virtual bool ShowMessage(const std::string& text, bool withCancel) = 0;
    /// The screen changed (read what with Screen::TakeDirty). Called on whichever thread drew,
    /// holding no lock of the screen or the stage; must not block (post an event and paint
    /// later).
    virtual void ScreenChanged() = 0;
    /// STAGE: the window's client area follows the stage (0 keeps that side).
    virtual void SetStageSize(int width, int height) = 0;
    /// Asks the window to close; the close question follows.
    virtual void RequestClose() = 0;
    /// TITLE: the window's caption (CP932); empty restores the application's own caption. May be
    /// called from the worker.
    virtual void SetTitle(const std::string& title) = 0;
    /// CURSOR: loads the mouse cursor file at an inside path and makes it the window's cursor;
    /// false (and the default cursor) when it cannot be loaded. May be called from the worker.
    virtual bool SetCursor(const std::string& insidePath) = 0;
    /// COMMAND: starts program with parameters (CP932 texts as the book wrote them) in folder (an
    /// inside path, empty for the book's own); a start the system refuses is not reported.
    virtual void StartProgram(const std::string& program, const std::string& parameters,
                              const std::string& folder) = 0;
    /// COMMAND: opens a web address in the reader's browser.
    virtual void OpenWebAddress(const std::string& address) = 0;
    /// Interface thread: a bookmark load is about to end the reading. Every box the worker waits
    /// for is answered and the old reading's form and cursor go, so the book can end.
    virtual void ReadingEnds() {}
    /// Interface thread: the load is over, done or not; boxes are shown again.
    virtual void ReadingResumes() {}
    /// Worker thread: a page has been typed and waits for the reader (a click or its links).
    /// Must not block.
    virtual void PageShown(const ShownPage& page) { (void)page; }
    /// Any thread: skip or auto started or ended (the window redraws its marker). Must not
    /// block.
    virtual void ModeChanged(const ModeChange& change) { (void)change; }
    /// Interface thread: a bookmark load found the book edited since the save; its saved item
    /// index and where that text stands now (nullopt: nowhere). The reader is told in a box too.
    virtual void BookmarkPlaceFollowed(int oldIndex, std::optional<int> newIndex) {
        (void)oldIndex;
        (void)newIndex;
    }
};

}  // namespace talu::app
