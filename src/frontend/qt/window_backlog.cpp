// The window's backlog: opened by the wheel, its key (Page Up) and the menu; returning to a page is
// the session's reader command.
#include <QWheelEvent>

#include "frontend/qt/backlog_view.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/ui_text.h"

namespace talu::qt {

void MainWindow::ShowBacklog() {
    app::ReaderCommands* commands = Commands();
    if (backlog_ != nullptr || commands == nullptr ||
        !commands->Can(app::ReaderCommand::kBacklog).Allowed()) {
        return;
    }
    const app::Backlog& backlog = session_->GetBacklog();
    const std::vector<app::BacklogEntry> entries = backlog.Entries();
    const bool canReturn = commands->Can(app::ReaderCommand::kReturnToPage).Allowed();
    std::vector<bool> returnable(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        returnable[i] = canReturn && backlog.SavePointOf(i) != nullptr;
    }
    // No worker runs: the book's face is still.
    const QString face = FromCp932(session_->GetInterpreter()->Window().Layout().face);
    backlogPause_.emplace(commands->Pause());
    BacklogView::Actions actions;
    // The view goes on the next turn: it asks from inside its own event.
    actions.close = [this] {
        QMetaObject::invokeMethod(
            this, [this] { CloseBacklog(); }, Qt::QueuedConnection);
    };
    actions.returnTo = [this](std::size_t index) {
        QMetaObject::invokeMethod(
            this,
            [this, index] {
                CloseBacklog();
                if (app::ReaderCommands* now = Commands()) {
                    now->ReturnToPage(index);
                }
            },
            Qt::QueuedConnection);
    };
    backlog_ =
        new BacklogView(view_, entries, returnable, face, settings_.langMode, std::move(actions));
}

void MainWindow::CloseBacklog() {
    if (backlog_ != nullptr) {
        backlog_->hide();
        backlog_->deleteLater();
        backlog_ = nullptr;
    }
    backlogPause_.reset();
    setFocus();
}

bool MainWindow::BacklogWheel(const QWheelEvent& event) {
    if (event.angleDelta().y() <= 0 || Commands() == nullptr) {
        return false;
    }
    ShowBacklog();
    return true;
}

}  // namespace talu::qt
