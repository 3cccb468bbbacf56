#pragma once

namespace talu::qt {

class MainWindow;

/// What a gamepad button means over what covers the stage: the D-pad's four ways, take (A),
/// back (B) and the backlog's own button.
enum class PadMove { kNone, kUp, kDown, kLeft, kRight, kTake, kBack, kBacklog };

/// Carries move out in what is open over the window: the popup menu, a message box or dialog,
/// the backlog or a form. True when one of them took the press (or, the menu, a box and the
/// backlog, swallowed it: the book behind them takes nothing); false when the press is the
/// reader's action.
bool MoveOverStage(MainWindow& window, PadMove move);

}  // namespace talu::qt
