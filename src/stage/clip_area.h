#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "stage/rect.h"

namespace talu::stage {

/// A same-size copy between two surfaces after clipping: w x h pixels from (sx, sy) to (tx, ty).
struct ClipArea {
    int sx = 0;
    int sy = 0;
    int tx = 0;
    int ty = 0;
    int w = 0;
    int h = 0;
};

/// Cuts a w x h copy from (sx, sy) in sourceBounds to (tx, ty) in targetBounds so that both ends
/// stay inside; nullopt when nothing is left. Works in 64 bits, so any int input is safe.
inline std::optional<ClipArea> ClipCopy(int64_t sx, int64_t sy, int64_t tx, int64_t ty, int64_t w,
                                        int64_t h, const Rect& sourceBounds,
                                        const Rect& targetBounds) {
    auto cutLow = [&](int64_t& s, int64_t& t, int64_t& len, int64_t sLow, int64_t tLow) {
        const int64_t d = std::max(sLow - s, tLow - t);
        if (d > 0) {
            s += d;
            t += d;
            len -= d;
        }
    };
    auto cutHigh = [&](int64_t s, int64_t t, int64_t& len, int64_t sHigh, int64_t tHigh) {
        len = std::min({len, sHigh - s, tHigh - t});
    };
    cutLow(sx, tx, w, sourceBounds.left, targetBounds.left);
    cutLow(sy, ty, h, sourceBounds.top, targetBounds.top);
    cutHigh(sx, tx, w, sourceBounds.right, targetBounds.right);
    cutHigh(sy, ty, h, sourceBounds.bottom, targetBounds.bottom);
    if (w <= 0 || h <= 0) {
        return std::nullopt;
    }
    return ClipArea{static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(tx),
                    static_cast<int>(ty), static_cast<int>(w),  static_cast<int>(h)};
}

}  // namespace talu::stage
