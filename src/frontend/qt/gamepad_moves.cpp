// The gamepad over the menu, boxes, backlog and form: each gets the keys it already answers
// (so the pad does just what the keyboard does there), or, the form, the focus moved among its
// fields.
#include "frontend/qt/gamepad_moves.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <algorithm>

#include "frontend/qt/backlog_view.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/main_window.h"

namespace talu::qt {
namespace {

/// A key pressed and let go on target (the press may close it).
void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointer<QWidget> alive(target);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    if (alive) {
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(target, &release);
    }
}

/// The menu's own keys: up and down, into and out of a submenu, take, and back (a submenu
/// closes alone, the menu last).
int MenuKey(PadMove move) {
    switch (move) {
        case PadMove::kUp:
            return Qt::Key_Up;
        case PadMove::kDown:
            return Qt::Key_Down;
        case PadMove::kLeft:
            return Qt::Key_Left;
        case PadMove::kRight:
            return Qt::Key_Right;
        case PadMove::kTake:
            return Qt::Key_Return;
        case PadMove::kBack:
            return Qt::Key_Escape;
        default:
            return 0;
    }
}

/// A message box answers with its buttons: the D-pad moves among them, take presses the one
/// with the focus (the default one until the D-pad moved), back is Escape (Cancel). Other
/// dialogs are the mouse's and the keyboard's; back still closes them.
void InModal(QWidget& modal, PadMove move) {
    if (move == PadMove::kBack) {
        SendKey(&modal, Qt::Key_Escape);
        return;
    }
    if (qobject_cast<QMessageBox*>(&modal) == nullptr) {
        return;
    }
    QWidget* focus = modal.focusWidget() != nullptr ? modal.focusWidget() : &modal;
    if (move == PadMove::kUp || move == PadMove::kLeft) {
        SendKey(focus, Qt::Key_Backtab, Qt::ShiftModifier);
    } else if (move == PadMove::kDown || move == PadMove::kRight) {
        SendKey(focus, Qt::Key_Tab);
    } else if (move == PadMove::kTake) {
        SendKey(focus, Qt::Key_Return);
    }
}

void InBacklog(BacklogView& backlog, PadMove move) {
    switch (move) {
        case PadMove::kUp:
        case PadMove::kDown:
            backlog.ScrollLines(move == PadMove::kUp ? -1 : 1);
            break;
        case PadMove::kLeft:
        case PadMove::kRight:
            backlog.HighlightReturn(move == PadMove::kRight);
            break;
        case PadMove::kTake:  // the highlighted "Return here", if one is
            SendKey(&backlog, Qt::Key_Return);
            break;
        case PadMove::kBack:
        case PadMove::kBacklog:
            SendKey(&backlog, Qt::Key_Escape);
            break;
        default:
            break;
    }
}

/// Up and down move the focus round the form's controls, take presses the focused button or
/// ticks the focused box (on a text field it moves on: a pad cannot type). False for the rest.
bool InForm(MainWindow& window, PadMove move) {
    std::vector<QWidget*> controls;
    for (const QPointer<QWidget>& control : window.Forms().Controls()) {
        if (control != nullptr && control->isVisible() && control->isEnabled()) {
            controls.push_back(control.data());
        }
    }
    if (controls.empty()) {
        return false;
    }
    const auto focused = std::find(controls.begin(), controls.end(), window.focusWidget());
    const auto index = static_cast<std::ptrdiff_t>(focused - controls.begin());
    const auto count = static_cast<std::ptrdiff_t>(controls.size());
    auto focusAt = [&](std::ptrdiff_t at) {
        controls[static_cast<std::size_t>((at % count + count) % count)]->setFocus(
            Qt::TabFocusReason);
    };
    switch (move) {
        case PadMove::kUp:
            focusAt(focused == controls.end() ? count - 1 : index - 1);
            return true;
        case PadMove::kDown:
            focusAt(focused == controls.end() ? 0 : index + 1);
            return true;
        case PadMove::kTake:
            if (focused == controls.end()) {
                focusAt(0);
            } else if (auto* button = qobject_cast<QAbstractButton*>(*focused)) {
                button->click();
            } else {
                focusAt(index + 1);
            }
            return true;
        default:
            return false;
    }
}

}  // namespace

bool MoveOverStage(MainWindow& window, PadMove move) {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        if (const int key = MenuKey(move)) {
            SendKey(menu, key);
        }
        return true;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        InModal(*modal, move);
        return true;
    }
    if (BacklogView* backlog = window.Backlog()) {
        InBacklog(*backlog, move);
        return true;
    }
    return InForm(window, move);
}

}  // namespace talu::qt
