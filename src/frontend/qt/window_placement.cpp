#include "frontend/qt/window_placement.h"

#include <algorithm>

namespace talu::qt {

QPoint KeptInside(const QRect& frame, const QRect& workArea) {
    QPoint place = frame.topLeft();
    place.setX(std::min(place.x(), workArea.x() + workArea.width() - frame.width()));
    place.setY(std::min(place.y(), workArea.y() + workArea.height() - frame.height()));
    place.setX(std::max(place.x(), workArea.x()));
    place.setY(std::max(place.y(), workArea.y()));
    return place;
}

}  // namespace talu::qt
