#include "stage/picture.h"

namespace talu::stage {

void Picture::Reset() {
    left = 0;
    top = 0;
    source.clear();
    transparent.clear();
    align = 0;
    valign = 0;
    alpha = 100;
    effect = 0;
    filter = script::kNoColour;
    mask.clear();
    mask.shrink_to_fit();
    maskSource.clear();
}

}  // namespace talu::stage
