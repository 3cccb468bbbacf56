#include "stage/character_placement.h"

#include <cstdint>

#include "script/keywords.h"
#include "script/numbers.h"

namespace talu::stage {
namespace {

// The start that puts a side of length size with its centre at fraction of the span from lo.
int64_t Centred(int lo, int hi, int size, double fraction) {
    const double span = static_cast<double>(int64_t{hi} - lo);
    return int64_t{lo} - size / 2 + static_cast<int64_t>(span * fraction);
}

}  // namespace

Placement Place(const Rect& area, int width, int height, int align, int valign) {
    int64_t top = 0;
    switch (valign) {
        case script::kw::kTop:
            top = Centred(area.top, area.bottom, height, 0.25);
            break;
        case script::kw::kBottom:
            top = Centred(area.top, area.bottom, height, 0.75);
            break;
        case script::kw::kFloor:
            top = int64_t{area.bottom} - height;
            break;
        case script::kw::kRoof:
            top = area.top;
            break;
        default:
            top = Centred(area.top, area.bottom, height, 0.5);
            break;
    }
    int64_t left = 0;
    switch (align) {
        case script::kw::kLeft:
            left = Centred(area.left, area.right, width, 0.25);
            break;
        case script::kw::kRight:
            left = Centred(area.left, area.right, width, 0.75);
            break;
        case script::kw::kRightSide:
            left = int64_t{area.right} - width;
            break;
        case script::kw::kLeftSide:
            left = area.left;
            break;
        default:
            left = Centred(area.left, area.right, width, 0.5);
            break;
    }
    // Areas and sizes come from books; the arithmetic runs wide and is clamped back to int.
    return Placement{script::ClampToInt(left), script::ClampToInt(top)};
}

}  // namespace talu::stage
