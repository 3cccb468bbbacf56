// The reader's actions, whichever key or gamepad button gives them, mapped onto the window's
// commands: each input maps onto these once.
#include "frontend/qt/commands.h"
#include "frontend/qt/main_window.h"

namespace talu::qt {
namespace {

/// The menu command an action runs; 0 for the actions the window does itself.
int CommandOf(app::ReaderAction action) {
    using app::ReaderAction;
    switch (action) {
        case ReaderAction::kGotoNextChoice:
            return command::kGotoNextChoice;
        case ReaderAction::kSkip:
            return command::kSkipRead;
        case ReaderAction::kAuto:
            return command::kAutoRead;
        case ReaderAction::kCloseWindow:
            return command::kCloseWindow;
        case ReaderAction::kSave:
            return command::kSave;
        case ReaderAction::kLoad:
            return command::kLoad;
        case ReaderAction::kBookmarks:
            return command::kBookmarkMenu;
        case ReaderAction::kSavePicture:
            return command::kSavePicture;
        case ReaderAction::kSettings:
            return command::kSetting;
        case ReaderAction::kOpen:
            return command::kOpen;
        case ReaderAction::kQuit:
            return command::kQuit;
        default:
            return 0;
    }
}

}  // namespace

void MainWindow::DoAction(app::ReaderAction action, bool pressed) {
    using app::ReaderAction;
    app::ReaderCommands* commands = Commands();
    if (action == ReaderAction::kHoldSkip) {
        if (commands != nullptr) {
            commands->HoldSkip(pressed);
        }
        return;
    }
    if (!pressed) {
        return;
    }
    const bool choosing =
        action == ReaderAction::kChoiceNext || action == ReaderAction::kChoicePrevious;
    if (choosing && commands != nullptr && session_->GetPlayer().ChoicePending() &&
        !WorkerRunning()) {
        commands->MoveChoice(action == ReaderAction::kChoiceNext ? 1 : -1);
        return;
    }
    // The toggles reach the mode as it is: leaving fast-forward first would end the mode they
    // are to end.
    if (action != ReaderAction::kSkip && action != ReaderAction::kAuto && commands != nullptr) {
        commands->LeaveFastForward();
    }
    if (const int id = CommandOf(action)) {
        RunCommand(id);
        return;
    }
    switch (action) {
        case ReaderAction::kReadOn:
            PressKey();
            return;
        case ReaderAction::kBacklog:
            if (commands != nullptr) {
                ShowBacklog();
            }
            return;
        case ReaderAction::kMenu:
            ShowPopupMenu(display_->FullScreen() ? QPoint(0, 0) : mapToGlobal(QPoint(0, 0)));
            return;
        case ReaderAction::kFullScreen:
            SetDisplayMode(!display_->FullScreen(), desktop_.windowScale);
            return;
        case ReaderAction::kClose:
            close();
            return;
        default:
            return;  // a choice step with no choice waiting
    }
}

}  // namespace talu::qt
