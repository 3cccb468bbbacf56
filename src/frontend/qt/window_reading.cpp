// The window's ways of reading on: the reading-on key, the wheel turned down, and what the
// window draws over the stage about them (the mode's marker, the save's notice).
#include <QCursor>
#include <QWheelEvent>

#include "frontend/qt/commands.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/stage_notes.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

/// One notch of a wheel, in Qt's eighths of a degree.
constexpr int kWheelNotch = 120;

}  // namespace

void MainWindow::PressKey() {
    app::ReaderCommands* commands = Commands();
    if (commands == nullptr || forms_->PressFocused()) {
        return;
    }
    cursor_->SetHidden(true);
    QPoint stagePoint;
    if (view_->ToStage(view_->mapFromGlobal(QCursor::pos()), stagePoint)) {
        commands->Press(std::pair{stagePoint.x(), stagePoint.y()});
    } else {
        commands->Press();
    }
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    const int turn = event->angleDelta().y();
    if (turn >= 0) {
        wheelTurn_ = 0;
        if (!BacklogWheel(*event)) {  // turned up: the backlog opens
            QWidget::wheelEvent(event);
        }
        return;
    }
    event->accept();
    wheelTurn_ += turn;
    const bool waitsForReader =
        session_ && (session_->GetPlayer().ChoicePending() || session_->GetPlayer().FormPending());
    // Whole notches read on, one click each; a wheel never picks a link or submits a form.
    while (wheelTurn_ <= -kWheelNotch) {
        wheelTurn_ += kWheelNotch;
        if (!waitsForReader) {
            ClickAt(event->position().toPoint());
        }
    }
}

void MainWindow::ShowMode() {
    const app::ReadingMode mode =
        Commands() != nullptr ? Commands()->Mode() : app::ReadingMode::kNone;
    const int lang = settings_.langMode;
    notes_->SetMarker(mode == app::ReadingMode::kSkip   ? Pick(lang, "既読スキップ", "Skip")
                      : mode == app::ReadingMode::kAuto ? Pick(lang, "オート", "Auto")
                                                        : QString());
}

void MainWindow::SaveWithNotice() {
    app::ReaderCommands* commands = Commands();
    if (commands != nullptr && commands->Save()) {
        const int slot = session_->Bookmarks().CurrentSlot();
        notes_->Notify(Pick(settings_.langMode, "しおり%1にセーブしました", "Saved to bookmark %1.")
                           .arg(slot));
    }
}

}  // namespace talu::qt
