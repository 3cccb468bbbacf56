#pragma once

#include <QPoint>
#include <QRect>

namespace talu::qt {

/// Where a window whose outer rectangle is frame goes so that it stays inside the desktop's work
/// area: past the left or top edge it moves to the work area's edge, past the right or bottom
/// it moves back until that edge meets the work area's. Its size never changes; left and top
/// win when the window is larger than the work area.
QPoint KeptInside(const QRect& frame, const QRect& workArea);

}  // namespace talu::qt
