#pragma once

#include <QImage>
#include <functional>
#include <string>

#include "app/session.h"
#include "frontend/qt/bookmark_dialog.h"

class QWidget;

namespace talu::qt {

/// The window's bookmark commands: Save (Ctrl+S), Load (Ctrl+L), Bookmark Menu (Ctrl+B), the
/// load-only dialog of automatic books, and the debug window's Bookmark and Reload on slot 0.
/// Saving and the dialog read the book's tables, which belong to the worker while it runs, so
/// they wait for the book to stop, as the popup menu does; a load may come at any time, since
/// it ends the running book first. Interface thread only.
class BookmarkCommands {
  public:
    /// What the commands need from the window; every member must be set.
    struct Window {
        /// Dialogs and boxes are shown over it.
        QWidget* parent = nullptr;
        /// The open book's session, or null.
        std::function<app::Session*()> session;
        std::function<int()> langMode;
        /// A box (CP932 text) on the interface thread; true for OK.
        std::function<bool(const std::string& text, bool withCancel)> ask;
        /// A load is about to end the book: every box the worker waits for is answered and the
        /// form and cursor of the old book go.
        std::function<void()> endRun;
        /// The load is over, done or not: boxes are shown again.
        std::function<void()> loadOver;
    };

    explicit BookmarkCommands(Window window);

    /// Save: the current slot, without asking.
    void Save();
    /// Load: the current slot, once the reader agrees.
    void Load();
    /// Bookmark Menu: the dialog, then the Save or Load it chose, once the reader agrees.
    void Menu();
    /// The automatic book reached its bookmark point: the load-only dialog on the current slot;
    /// an empty slot chosen starts the book from its top.
    void OfferAutoLoad();
    /// The debug window's Bookmark and Reload: save and load slot 0 without asking. Reload reads
    /// the book file again, so an author's edits take effect.
    void SaveDebugSlot();
    void ReloadDebugSlot();

    /// The picture kept beside a slot of the open book; a null image when there is none.
    QImage SlotPicture(int slot);

  private:
    /// The open book when no worker runs; null otherwise.
    app::Session* IdleSession();
    bool LoadSlot(int slot);
    /// Asks the load question for the slot and loads it once the reader agrees.
    void AskAndLoad(int slot);
    void InitializeWithQuestions(int slot);
    /// The open book's slots for the dialog; Initialize asks before it clears a slot.
    BookmarkDialog::SlotSource SlotsOf(app::BookmarkManager& bookmarks);

    Window window_;
};

}  // namespace talu::qt
