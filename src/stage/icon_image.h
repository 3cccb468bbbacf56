#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "host/image/sdl_image_codec.h"

// Windows icon and cursor files (.ico, .cur), which books name for the mouse cursor. Read by our
// own code: the files come from a book's folder and are treated as hostile.
namespace talu::stage {

/// The largest side of an icon picture: the directory's one-byte sizes say 256 at most.
inline constexpr int kMaxIconSide = 256;

/// The picture of an icon or cursor file with the point of it that clicks (0, 0 for an icon).
struct IconPicture {
    host::RgbaImage image;
    int hotX = 0;
    int hotY = 0;
};

/// A decoded picture (bottom-up rows of blue, green, red and maybe alpha) as top-down RGBA;
/// nullopt when its rows are not what it says.
std::optional<host::RgbaImage> RgbaFromDecoded(const host::DecodedImage& decoded);

/// Reads the first picture of an icon (type 1) or cursor (type 2) file: a device-independent
/// bitmap of 1, 4, 8, 24 or 32 bits with its transparency mask, or an embedded PNG. nullopt for
/// anything damaged, compressed otherwise, or larger than kMaxIconSide on a side.
std::optional<IconPicture> ReadIconFile(std::span<const uint8_t> bytes);

}  // namespace talu::stage
