#pragma once

#include <Qt>

namespace talu::qt {

/// What a key press asks of the window (after it left fast-forward, which every key does).
struct KeyAction {
    enum Kind {
        kNone,
        /// Enter or Space: a click where the mouse is, with the mouse pointer hidden.
        kClick,
        /// Escape: the close question.
        kClose,
        /// A command of the menu (command id in command).
        kCommand,
        /// F11 or Alt+Enter: full screen or back.
        kToggleFullScreen,
    };
    Kind kind = kNone;
    int command = 0;
};

/// The window's keys: Enter and Space click, Escape closes, Page Down goes to the next choice,
/// Ctrl with B, L, M, N, O, P, Q or S runs that command of the menu, S alone toggles skip and A
/// alone auto.
KeyAction ActionForKey(int key, Qt::KeyboardModifiers modifiers);

}  // namespace talu::qt
