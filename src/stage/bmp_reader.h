#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "stage/bitmap.h"

// Our own reader of BMP files, the one picture format the player never left to a plug-in.
namespace talu::stage {

/// Why a BMP file was refused.
enum class BmpFailure {
    /// Fewer than 14 bytes: the player tells the reader the file is short.
    kShortFile,
    /// Anything else (signature, header, sizes, pixel data); refused without a message.
    kUnreadable,
};

/// The largest width or height a BMP may declare.
inline constexpr int kMaxBmpSide = 16384;

/// The outcome of ReadBmp: a bitmap, or the reason it was refused.
struct BmpResult {
    std::optional<Bitmap> bitmap;
    BmpFailure failure = BmpFailure::kUnreadable;
};

/// Decodes a whole BMP file held in memory: Windows (40, 52, 56, 108, 124-byte headers) and
/// OS/2 (12 and 16-64-byte headers) forms, 1, 2, 4, 8, 16, 24 and 32 bits, RLE4, RLE8 and bit
/// fields, bottom-up or top-down. Palette pictures become 8-bit, all others 24-bit. Reads only
/// inside bytes; absurd sizes and damaged data are refused.
BmpResult ReadBmp(std::span<const uint8_t> bytes);

}  // namespace talu::stage
