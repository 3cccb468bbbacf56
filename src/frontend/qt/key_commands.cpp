#include "frontend/qt/key_commands.h"

#include "frontend/qt/commands.h"

namespace talu::qt {
namespace {

int ControlCommand(int key) {
    switch (key) {
        case Qt::Key_B:
            return command::kBookmarkMenu;
        case Qt::Key_L:
            return command::kLoad;
        case Qt::Key_M:
            return command::kSetting;
        case Qt::Key_N:
            return command::kGotoNextChoice;
        case Qt::Key_O:
            return command::kOpen;
        case Qt::Key_P:
            return command::kSavePicture;
        case Qt::Key_Q:
            return command::kQuit;
        case Qt::Key_S:
            return command::kSave;
        default:
            return 0;
    }
}

}  // namespace

KeyAction ActionForKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_F11 || (enter && (modifiers & Qt::AltModifier))) {
        return {KeyAction::kToggleFullScreen, 0};
    }
    if (enter || key == Qt::Key_Space) {
        return {KeyAction::kClick, 0};
    }
    if (key == Qt::Key_Escape) {
        return {KeyAction::kClose, 0};
    }
    if (key == Qt::Key_PageDown) {
        return {KeyAction::kCommand, command::kGotoNextChoice};
    }
    if ((modifiers & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (key == Qt::Key_S) {
            return {KeyAction::kCommand, command::kSkipRead};
        }
        if (key == Qt::Key_A) {
            return {KeyAction::kCommand, command::kAutoRead};
        }
    }
    if (modifiers & Qt::ControlModifier) {
        if (const int id = ControlCommand(key)) {
            return {KeyAction::kCommand, id};
        }
    }
    return {};
}

}  // namespace talu::qt
