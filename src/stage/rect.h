#pragma once

#include <algorithm>

#include "script/numbers.h"

namespace talu::stage {

/// A pixel rectangle (left, top, right, bottom); right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    /// right - left (may be zero or negative for an empty rectangle).
    constexpr int Width() const { return right - left; }
    /// bottom - top (may be zero or negative for an empty rectangle).
    constexpr int Height() const { return bottom - top; }
    /// True when the rectangle holds no pixel.
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    /// The common part of both rectangles (empty when they do not meet).
    constexpr Rect Intersect(const Rect& o) const {
        return Rect{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                    std::min(bottom, o.bottom)};
    }

    /// The smallest rectangle holding both (an empty one adds nothing).
    constexpr Rect Union(const Rect& o) const {
        if (o.IsEmpty()) {
            return *this;
        }
        if (IsEmpty()) {
            return o;
        }
        return Rect{std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                    std::max(bottom, o.bottom)};
    }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

/// The rectangle a width x height picture covers at (left, top). Positions come from books, so
/// the far corner saturates at the int limits instead of overflowing.
constexpr Rect RectAt(int left, int top, int width, int height) {
    return Rect{left, top, script::SaturatingAdd(left, width), script::SaturatingAdd(top, height)};
}

}  // namespace talu::stage
