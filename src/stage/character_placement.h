#pragma once

#include "stage/rect.h"

namespace talu::stage {

/// Where a character of the given size stands in area: the top-left corner for its align and
/// valign keyword ids (unknown ids place like CENTER and MIDDLE).
struct Placement {
    int left = 0;
    int top = 0;
};

/// Left and top for a width x height character with align and valign in area.
Placement Place(const Rect& area, int width, int height, int align, int valign);

}  // namespace talu::stage
