#pragma once

// Solid-colour BMP files for the stage tests.
#include <cstdint>
#include <optional>
#include <vector>

#include "picture_test_support.h"

namespace talu::stage::testing {

/// A 24-bit bottom-up BMP of one colour (0xRRGGBB); corner, when given, colours the top-left
/// pixel (the first pixel of the last stored row).
inline std::vector<uint8_t> SolidBmp(int width, int height, uint32_t colour,
                                     std::optional<uint32_t> corner = std::nullopt) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    const int stride = (width * 3 + 3) / 4 * 4;
    layout.pixels.assign(static_cast<std::size_t>(stride) * height, 0);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = (corner && row == height - 1 && x == 0) ? *corner : colour;
            uint8_t* p = layout.pixels.data() + static_cast<std::size_t>(row) * stride + x * 3;
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    }
    return MakeBmp(layout);
}

}  // namespace talu::stage::testing
