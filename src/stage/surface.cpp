#include "stage/surface.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "stage/nearest_map.h"
#include "stage/pixel_kernels.h"

namespace talu::stage {

namespace {

// Rectangle arithmetic in 64 bits, so that coordinates a book writes near the int limits cannot
// overflow while they are clipped.
struct WideRect {
    int64_t left, top, right, bottom;
    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
};

WideRect Widen(const Rect& r) {
    return WideRect{r.left, r.top, r.right, r.bottom};
}

// The old blit's own clipping against the target: the source moves by the amount the target
// rectangle is cut on each side, so equal sizes stay equal.
void ClipToTarget(WideRect& s, WideRect& d, int64_t targetWidth, int64_t targetHeight) {
    if (d.left < 0) {
        s.left -= d.left;
        d.left = 0;
    }
    if (d.top < 0) {
        s.top -= d.top;
        d.top = 0;
    }
    if (d.bottom > targetHeight) {
        s.bottom = std::max<int64_t>(0, s.bottom - (d.bottom - targetHeight));
        d.bottom = targetHeight;
    }
    if (d.right > targetWidth) {
        s.right = std::max<int64_t>(0, s.right - (d.right - targetWidth));
        d.right = targetWidth;
    }
}

// For equal sizes: cut both rectangles where the source leaves its surface, which the old blit
// refused outright; a book's oversized rectangle now copies the part that exists.
void ClipToSource(WideRect& s, WideRect& d, int64_t sourceWidth, int64_t sourceHeight) {
    if (s.left < 0) {
        d.left -= s.left;
        s.left = 0;
    }
    if (s.top < 0) {
        d.top -= s.top;
        s.top = 0;
    }
    if (s.right > sourceWidth) {
        d.right -= s.right - sourceWidth;
        s.right = sourceWidth;
    }
    if (s.bottom > sourceHeight) {
        d.bottom -= s.bottom - sourceHeight;
        s.bottom = sourceHeight;
    }
}

}  // namespace

Surface::Surface(Surface&& other) noexcept {
    *this = std::move(other);
}

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this != &other) {
        pixels_ = std::move(other.pixels_);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        pitch_ = std::exchange(other.pitch_, 0);
        format_ = other.format_;
        hasKey_ = std::exchange(other.hasKey_, false);
        key_ = std::exchange(other.key_, 0);
        other.pixels_.clear();
    }
    return *this;
}

bool Surface::Create(int width, int height, const PixelFormat& format) {
    Release();
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
        return false;
    }
    // Rows are padded to a multiple of four pixels, as the display's pitch was, so pixel code
    // that confuses width and pitch shows up in tests rather than on one odd-sized picture.
    const int pitch = (width + 3) & ~3;
    try {
        pixels_.assign(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width_ = width;
    height_ = height;
    pitch_ = pitch;
    format_ = format;
    return true;
}

void Surface::Release() {
    // Swapped with an empty vector, not assigned "{}": that clears the pixels but keeps their
    // memory, which a stage that shrank again would hold for good.
    std::vector<uint16_t>().swap(pixels_);
    width_ = height_ = pitch_ = 0;
    hasKey_ = false;
    key_ = 0;
}

uint32_t Surface::NativeColour(uint32_t colour) const {
    if (!IsLoaded()) {
        return kInvalidColour;
    }
    if (colour == kInvalidColour) {
        return pixels_[0];
    }
    return format_.FromColour(colour);
}

void Surface::Fill(uint32_t colour) {
    FillRect(Bounds(), colour);
}

void Surface::FillRect(const Rect& rect, uint32_t colour) {
    const Rect r = rect.Intersect(Bounds());
    if (!IsLoaded() || r.IsEmpty()) {
        return;
    }
    const auto value = static_cast<uint16_t>(NativeColour(colour));
    for (int y = r.top; y < r.bottom; ++y) {
        std::fill(Row(y) + r.left, Row(y) + r.right, value);
    }
}

void Surface::SetSourceKey(uint32_t colour) {
    if (!IsLoaded()) {
        return;
    }
    key_ = static_cast<uint16_t>(NativeColour(colour));
    hasKey_ = true;
}

bool Surface::GetSourceKey(uint32_t& value) const {
    if (!hasKey_) {
        return false;
    }
    value = key_;
    return true;
}

bool Surface::CopyTo(const Rect& source, Surface& target, const Rect& targetRect,
                     uint32_t flags) const {
    if (!IsLoaded() || !target.IsLoaded()) {
        return false;
    }
    WideRect s = Widen(source);
    WideRect d = Widen(targetRect);
    ClipToTarget(s, d, target.width_, target.height_);
    if (s.Width() <= 0 || s.Height() <= 0 || d.Width() <= 0 || d.Height() <= 0) {
        return false;
    }
    const bool keyed = (flags & kCopyKeySource) != 0 && hasKey_;

    // Within one surface the source is read whole before anything is written.
    Surface staged;
    const Surface* from = this;
    if (&target == this) {
        const WideRect inside{std::max<int64_t>(s.left, 0), std::max<int64_t>(s.top, 0),
                              std::min<int64_t>(s.right, width_),
                              std::min<int64_t>(s.bottom, height_)};
        if (inside.Width() <= 0 || inside.Height() <= 0) {
            return false;
        }
        if (!staged.Create(width_, height_, format_)) {
            return false;
        }
        for (int64_t y = inside.top; y < inside.bottom; ++y) {
            std::memcpy(staged.Row(static_cast<int>(y)) + inside.left,
                        Row(static_cast<int>(y)) + inside.left,
                        static_cast<std::size_t>(inside.Width()) * sizeof(uint16_t));
        }
        from = &staged;
    }

    if (s.Width() == d.Width() && s.Height() == d.Height()) {
        ClipToSource(s, d, width_, height_);
        if (d.Width() <= 0 || d.Height() <= 0) {
            return false;
        }
        const int count = static_cast<int>(d.Width());
        for (int64_t row = 0; row < d.Height(); ++row) {
            kernels::CopyRow(from->Row(static_cast<int>(s.top + row)) + s.left,
                             target.Row(static_cast<int>(d.top + row)) + d.left, count, keyed,
                             key_);
        }
        return true;
    }

    // Stretch: each target pixel samples the source pixel at its proportional place; samples
    // that fall outside the source surface leave the target pixel as it is.
    const std::vector<int> columns = StretchMap(s.left, s.Width(), d.Width(), width_);
    const std::vector<int> rows = StretchMap(s.top, s.Height(), d.Height(), height_);
    bool any = false;
    for (int64_t y = 0; y < d.Height(); ++y) {
        const int sy = rows[static_cast<std::size_t>(y)];
        if (sy < 0) {
            continue;
        }
        const uint16_t* in = from->Row(sy);
        uint16_t* out = target.Row(static_cast<int>(d.top + y)) + d.left;
        for (int64_t x = 0; x < d.Width(); ++x) {
            const int sx = columns[static_cast<std::size_t>(x)];
            if (sx < 0 || (keyed && in[sx] == key_)) {
                continue;
            }
            out[x] = in[sx];
            any = true;
        }
    }
    return any;
}

bool Surface::CopyScaled(const Surface& source) {
    if (!IsLoaded() || !source.IsLoaded()) {
        return false;
    }
    const std::vector<int> columns = ScaleMap(source.width_, width_);
    const std::vector<int> rows = ScaleMap(source.height_, height_);
    for (int y = 0; y < height_; ++y) {
        const uint16_t* in = source.Row(rows[static_cast<std::size_t>(y)]);
        uint16_t* out = Row(y);
        for (int x = 0; x < width_; ++x) {
            out[x] = in[columns[static_cast<std::size_t>(x)]];
        }
    }
    return true;
}

}  // namespace talu::stage
