#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/player.h"

namespace talu::app {

class Session;

/// The commands a reader gives, whichever input the frontend maps onto them.
enum class ReaderCommand {
    kClick,
    kGotoNextChoice,
    kCloseWindow,
    kSave,
    kLoad,
    kBookmarkMenu,
    kInitialize,
    kSavePicture,
    kSettings,
    /// Looking back over the pages read (the backlog); nothing of the book runs meanwhile.
    kBacklog,
    /// Going back to the start of a page of the backlog.
    kReturnToPage,
};

/// Why a command cannot be carried out now.
enum class Refusal {
    kNone,
    /// No book is open.
    kNoBook,
    /// The book runs: it types, an effect draws, or it waits for a box.
    kRunning,
    /// Links wait for the reader.
    kChoicePending,
    /// A form waits for its SUBMIT.
    kFormPending,
    /// Goto Next Choice runs already.
    kFastForward,
    /// The message window is hidden already.
    kWindowHidden,
    /// The book saves by itself (AUTO or SEMIAUTO): the reader cannot.
    kAutoSave,
    /// The book has passed no place a bookmark can keep yet.
    kNotYetSavable,
    /// The current slot has no file to load.
    kNoSlotFile,
    /// No page of the backlog keeps the place it began.
    kNoPageToReturnTo,
};

/// What Can answers.
struct Verdict {
    Refusal reason = Refusal::kNone;
    bool Allowed() const { return reason == Refusal::kNone; }
    /// Refused, but giving the command anyway tells the reader why in a box, as the old player
    /// did; a menu offers such a command.
    bool Explained() const {
        return reason == Refusal::kAutoSave || reason == Refusal::kNotYetSavable ||
               reason == Refusal::kNoSlotFile;
    }
    /// The command is worth offering: allowed, or it explains why not.
    bool Offered() const { return Allowed() || Explained(); }
};

/// Every command a reader can give, implemented once: the window maps its mouse, keys, menu and
/// dialogs onto these, and the headless reader calls the same ones, so a trace exercises what
/// the window runs. Interface thread only; the session owns it.
class ReaderCommands {
  public:
    /// Told of every save, load and initialise with its slot (0 to 9), and of every return to
    /// a page, with its outcome, before a restored book runs; for traces.
    using Listener = std::function<void(std::string_view command, int slot, bool ok)>;

    explicit ReaderCommands(Session& session) : session_(session) {}

    void SetListener(Listener listener) { listener_ = std::move(listener); }

    /// Whether command may be given now, and why not.
    Verdict Can(ReaderCommand command) const;

    /// The reader's click (left button, Enter, Space); the links follow the point first, when
    /// there is one on the stage.
    void Click(std::optional<std::pair<int, int>> stagePoint = std::nullopt);
    /// The mouse moved to a point of the stage.
    void PointAt(int x, int y);
    /// Every key, the popup menu and the close request end fast-forward first.
    void LeaveFastForward();
    /// Goto Next Choice. False when refused.
    bool GotoNextChoice();
    /// The middle button: fast-forward in progress only ends; a book that waits goes on to its
    /// next choice.
    bool StopOrGotoNextChoice();
    /// Close Window: the stage without the message window until the next click.
    bool CloseWindow();

    /// Save (Ctrl+S): the current slot, without asking.
    bool Save();
    /// The bookmark dialog's Save: asks "Save to bookmark No.%d.", takes comment as the pending
    /// comment (nullopt keeps the one set before) and saves slot.
    bool SaveTo(int slot, const std::optional<std::string>& comment);
    /// The comment (CP932) the next save writes.
    void SetComment(const std::string& comment);
    /// The debug window's Bookmark: slot 0, without asking.
    bool SaveDebugSlot();
    /// Load (Ctrl+L): the current slot once the reader agrees; a slot without a file is told.
    bool Load();
    /// The bookmark dialog's Load: slot once the reader agrees.
    bool LoadFrom(int slot);
    /// Loads slot without asking (the debug window's Reload, a slot chosen at start).
    bool LoadSlot(int slot);
    /// The load-only dialog's Load: an empty slot first starts the book from its top.
    bool AutoLoad(int slot);
    /// The dialog's Initialize: asks twice when ask, then clears slot.
    bool Initialize(int slot, bool ask);
    /// Settings chosen while a book is open: music on or off at once and, with redraw, the
    /// waiting stage shown again with the new brightness.
    void ApplySettings(bool redraw);

    /// Return here: the reading goes back to the start of backlog entry index, as a bookmark
    /// load would, and runs from there. False when refused or the entry keeps no place. The
    /// listener hears "back" with the number of pages back from the last one.
    bool ReturnToPage(std::size_t index);

    /// Pauses the wait icon while the frontend shows a menu or a dialog.
    Player::PauseToken Pause();
    /// A box with the reader's answer (true for OK), the wait icon paused meanwhile.
    bool Ask(const std::string& text, bool withCancel);

  private:
    bool Loaded(int slot);
    bool HasBook() const;
    Verdict BacklogVerdict(ReaderCommand command) const;
    /// Tells the listener; returns ok.
    bool Told(std::string_view command, int slot, bool ok);
    int SlotNumber(int slot) const;

    Session& session_;
    Listener listener_;
};

}  // namespace talu::app
