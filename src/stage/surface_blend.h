#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "stage/rect.h"
#include "stage/surface.h"

// Per-pixel blending shared by characters and the message window: brightness, mask blend and
// translucent copy, each clipped to the surfaces it touches.
namespace talu::stage {

/// The 5-bit weight of a percentage: p clamped to 0..100, then trunc(p x 0.01 x 32).
int PercentWeight(int percent);

/// Darkens rect (the whole surface when none; clipped to the surface) to percent: every channel
/// is multiplied by PercentWeight(percent) / 32. Nothing happens on an unloaded surface.
void Brightness(Surface& surface, const std::optional<Rect>& rect, int percent);

/// What MaskBlend combines: a source rectangle, where it lands, and the opacity bytes.
struct MaskBlendOptions {
    /// One opacity byte (0..255) per source pixel, rows of the source surface's width, starting
    /// at source pixel (0, 0); the caller owns it.
    const uint8_t* mask = nullptr;
    /// Bytes readable at mask; source pixels beyond it are left out.
    std::size_t maskSize = 0;
    /// The part of the source surface to blend.
    Rect source;
    /// Target position of the source rectangle's top-left pixel.
    int targetX = 0;
    int targetY = 0;
};

/// Blends source over target: per channel (target x (256 - a) + source x a) >> 8 with a the
/// mask byte. Clipped to both surfaces and the mask; false when nothing was blended.
bool MaskBlend(Surface& target, const Surface& source, const MaskBlendOptions& options);

/// Copies sourceRect of source over targetRect of target (same size; the smaller of both is
/// used) at percent opacity: per channel (source x k + target x (32 - k)) >> 5 with
/// k = PercentWeight(percent). Source pixels equal to the source's key are left out. Clipped to
/// both surfaces; false when nothing was blended.
bool TranslucentCopy(const Surface& source, const Rect& sourceRect, Surface& target,
                     const Rect& targetRect, int percent);

}  // namespace talu::stage
