#pragma once

#include <QImage>
#include <functional>

#include "app/session.h"
#include "frontend/qt/bookmark_dialog.h"

class QWidget;

namespace talu::qt {

/// The window's bookmark dialogs: Bookmark Menu (Ctrl+B) and the load-only dialog of automatic
/// books. What a dialog chooses is carried out by the session's reader commands, as Save, Load
/// and the debug window's slot 0 are. Interface thread only.
class BookmarkCommands {
  public:
    /// What the dialogs need from the window; every member must be set.
    struct Window {
        /// Dialogs are shown over it.
        QWidget* parent = nullptr;
        /// The open book's session, or null.
        std::function<app::Session*()> session;
        std::function<int()> langMode;
    };

    explicit BookmarkCommands(Window window) : window_(std::move(window)) {}

    /// Bookmark Menu: the dialog, then the Save or Load it chose, once the reader agrees.
    void Menu();
    /// The automatic book reached its bookmark point: the load-only dialog on the current slot;
    /// an empty slot chosen starts the book from its top.
    void OfferAutoLoad();
    /// The picture kept beside a slot of the open book; a null image when there is none.
    QImage SlotPicture(int slot);

  private:
    BookmarkDialog::SlotSource SlotsOf(app::Session& session);

    Window window_;
};

}  // namespace talu::qt
