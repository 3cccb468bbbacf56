#pragma once

#include <cstddef>
#include <cstdint>

namespace talu::stage {

/// A device-independent bitmap as picture loading hands it over; the memory is the caller's and
/// must outlive the call that reads it.
struct DibView {
    /// Width in pixels.
    int width = 0;
    /// Height in pixels: positive for bottom-up rows (the usual form), negative for top-down.
    int height = 0;
    /// Bits per pixel: 4, 8 or 24 are converted; other depths are refused.
    int bitCount = 0;
    /// Palette entries of four bytes each (blue, green, red, reserved); may be null for 24 bits.
    const uint8_t* palette = nullptr;
    /// Number of palette entries readable at palette; indices past it read as black.
    int paletteCount = 0;
    /// Pixel rows, each ((width x bitCount + 31) / 32) x 4 bytes long.
    const uint8_t* bits = nullptr;
    /// Bytes readable at bits; too few for all rows refuses the bitmap.
    std::size_t bitsSize = 0;
};

}  // namespace talu::stage
