#include "stage/surface_blend.h"

#include <algorithm>

#include "stage/clip_area.h"
#include "stage/pixel_kernels.h"

namespace talu::stage {

namespace {

// The surface to read from: source itself, or, when source is also the target, a copy of it in
// copy, so that no row is read while it is being changed. Null when the copy cannot be made.
const Surface* Distinct(const Surface& source, const Surface& target, Surface& copy) {
    if (&source != &target) {
        return &source;
    }
    if (!copy.Create(source.Width(), source.Height(), source.Format())) {
        return nullptr;
    }
    source.CopyTo(source.Bounds(), copy, copy.Bounds(), 0);
    return &copy;
}

}  // namespace

int PercentWeight(int percent) {
    const int p = std::clamp(percent, 0, 100);
    // The old arithmetic in double, truncated, so every percentage keeps its exact weight.
    return static_cast<int>(p * 0.01 * 32);
}

void Brightness(Surface& surface, const std::optional<Rect>& rect, int percent) {
    const Rect area = rect.value_or(surface.Bounds()).Intersect(surface.Bounds());
    if (!surface.IsLoaded() || area.IsEmpty()) {
        return;
    }
    const auto k = static_cast<uint16_t>(PercentWeight(percent));
    const kernels::Fields fields(surface.Format());
    for (int y = area.top; y < area.bottom; ++y) {
        kernels::ScaleRow(surface.Row(y) + area.left, area.Width(), k, fields);
    }
}

bool MaskBlend(Surface& target, const Surface& source, const MaskBlendOptions& options) {
    if (!target.IsLoaded() || !source.IsLoaded() || options.mask == nullptr) {
        return false;
    }
    const Rect& s = options.source;
    const auto area = ClipCopy(s.left, s.top, options.targetX, options.targetY, s.Width(),
                               s.Height(), source.Bounds(), target.Bounds());
    if (!area) {
        return false;
    }
    Surface copy;
    const Surface* from = Distinct(source, target, copy);
    if (from == nullptr) {
        return false;
    }
    const kernels::Fields fields(target.Format());
    const std::size_t maskStride = static_cast<std::size_t>(source.Width());
    bool any = false;
    for (int row = 0; row < area->h; ++row) {
        const std::size_t first = static_cast<std::size_t>(area->sy + row) * maskStride +
                                  static_cast<std::size_t>(area->sx);
        if (first >= options.maskSize) {
            break;
        }
        const int count = static_cast<int>(
            std::min<std::size_t>(static_cast<std::size_t>(area->w), options.maskSize - first));
        kernels::MaskRow(from->Row(area->sy + row) + area->sx, options.mask + first,
                         target.Row(area->ty + row) + area->tx, count, fields);
        any = true;
    }
    return any;
}

bool TranslucentCopy(const Surface& source, const Rect& sourceRect, Surface& target,
                     const Rect& targetRect, int percent) {
    if (!target.IsLoaded() || !source.IsLoaded()) {
        return false;
    }
    const auto area = ClipCopy(sourceRect.left, sourceRect.top, targetRect.left, targetRect.top,
                               std::min(sourceRect.Width(), targetRect.Width()),
                               std::min(sourceRect.Height(), targetRect.Height()), source.Bounds(),
                               target.Bounds());
    if (!area) {
        return false;
    }
    Surface copy;
    const Surface* from = Distinct(source, target, copy);
    if (from == nullptr) {
        return false;
    }
    const auto k = static_cast<uint16_t>(PercentWeight(percent));
    const kernels::Fields fields(target.Format());
    uint32_t keyValue = 0;
    const bool keyed = source.GetSourceKey(keyValue);
    for (int row = 0; row < area->h; ++row) {
        kernels::MixRow(from->Row(area->sy + row) + area->sx, target.Row(area->ty + row) + area->tx,
                        area->w, k, fields, keyed, static_cast<uint16_t>(keyValue));
    }
    return true;
}

}  // namespace talu::stage
