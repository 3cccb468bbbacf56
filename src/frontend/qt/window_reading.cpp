// The window's ways of reading on: the keys at a choice, Ctrl held, the skip and auto keys, the
// wheel turned down, and what the window draws over the stage about them (the mode's marker,
// the save's notice).
#include <QCursor>
#include <QKeyEvent>
#include <QWheelEvent>

#include "frontend/qt/commands.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/key_commands.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/stage_notes.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

/// One notch of a wheel, in Qt's eighths of a degree.
constexpr int kWheelNotch = 120;

/// The highlight's step for a key at a choice; 0 for other keys.
int ChoiceStep(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
        case Qt::Key_Down:
        case Qt::Key_Up:
            return modifiers == Qt::NoModifier ? (key.key() == Qt::Key_Down ? 1 : -1) : 0;
        case Qt::Key_Tab:
            return modifiers == Qt::NoModifier ? 1 : 0;
        case Qt::Key_Backtab:
            return modifiers == Qt::ShiftModifier ? -1 : 0;
        default:
            return 0;
    }
}

}  // namespace

bool MainWindow::ReadingKey(const QKeyEvent& key) {
    app::ReaderCommands* commands = Commands();
    if (key.key() == Qt::Key_Control) {
        if (!key.isAutoRepeat() && commands != nullptr) {
            ctrlHold_.start();
        }
        return true;
    }
    ctrlHold_.stop();  // Ctrl with another key is that key's command
    if (commands == nullptr) {
        return false;
    }
    if (const int step = ChoiceStep(key);
        step != 0 && session_->GetPlayer().ChoicePending() && !WorkerRunning()) {
        commands->MoveChoice(step);
        return true;
    }
    // The toggles reach the mode as it is: the leaving of fast-forward every other key does
    // first would end the mode they are to end.
    const KeyAction action = ActionForKey(key.key(), key.modifiers());
    if (action.kind == KeyAction::kCommand &&
        (action.command == command::kSkipRead || action.command == command::kAutoRead)) {
        RunCommand(action.command);
        return true;
    }
    return false;
}

void MainWindow::CtrlHeld() {
    // The timer stops when Ctrl is let go or the window loses the keyboard: Ctrl is down.
    if (app::ReaderCommands* commands = Commands()) {
        commands->HoldSkip(true);
    }
}

void MainWindow::CtrlLetGo() {
    ctrlHold_.stop();
    if (app::ReaderCommands* commands = Commands()) {
        commands->HoldSkip(false);
    }
}

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
