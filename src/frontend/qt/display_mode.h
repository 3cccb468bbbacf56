#pragma once

#include <QSize>

#include "frontend/qt/launch_options.h"

class QWidget;

namespace talu::qt {

/// The mode decided without asking the reader: --window or --fullscreen, and full screen on
/// screens no larger than the stage (640 × 480); false in haveAnswer when the reader is asked.
bool FullScreenWithoutAsking(DisplayChoice choice, QSize screen, bool& haveAnswer);

/// The display-mode question of the first book ("Use full screen window?"): true for full
/// screen. The reader's last choice is the default button. With dontAskAgain, the box offers
/// "Don't ask again" and says there whether the reader ticked it.
bool AskFullScreen(QWidget* parent, int langMode, bool lastChoice, bool* dontAskAgain = nullptr);

}  // namespace talu::qt
