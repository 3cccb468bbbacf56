#pragma once

#include <cstdint>
#include <span>

#include "stage/bitmap.h"

namespace talu::stage {

/// Expands RLE8 (bits 8) or RLE4 (bits 4) pixel data into out's 8-bit index rows, which must be
/// allocated and zeroed (pixels the data skips keep index 0). False when a run or a move would
/// leave the picture; data that ends without its end mark keeps what was decoded.
bool DecodeRle(std::span<const uint8_t> data, int bits, Bitmap& out);

}  // namespace talu::stage
