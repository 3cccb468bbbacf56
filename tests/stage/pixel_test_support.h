#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "stage/pixel_format.h"
#include "stage/surface.h"

namespace talu::stage::testing {

/// Both display layouts, plus a 5-6-5 layout with blue on top that takes the pixel kernels'
/// general path, for tests that must hold on each.
inline const PixelFormat kFormats[] = {PixelFormat::Rgb565(), PixelFormat::Rgb555(),
                                       PixelFormat::FromMasks(0x001F, 0x07E0, 0xF800)};

/// "Rgb565", "Rgb555" or "Bgr565", for parameterised test names.
inline std::string FormatName(const ::testing::TestParamInfo<PixelFormat>& info) {
    if (info.param.red.shift == 0) {
        return "Bgr565";
    }
    return info.param.green.max == 63 ? "Rgb565" : "Rgb555";
}

/// A loaded surface whose pixel (x, y) holds a value unique to its place (never 0).
inline Surface PatternSurface(int width, int height, const PixelFormat& format, int seed = 1) {
    Surface s;
    EXPECT_TRUE(s.Create(width, height, format));
    const uint32_t all = format.red.mask | format.green.mask | format.blue.mask;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            s.Row(y)[x] = static_cast<uint16_t>(((x * 37 + y * 1031 + seed * 7919) % all) + 1);
        }
    }
    return s;
}

/// A loaded surface of one colour (0 is black), for tests that start from a plain picture.
inline Surface Solid(int width, int height, const PixelFormat& format, uint32_t colour = 0) {
    Surface s;
    EXPECT_TRUE(s.Create(width, height, format));
    s.Fill(colour);
    return s;
}

/// The value of one channel's field in a pixel (0 to the channel's max).
inline uint32_t Field(uint32_t pixel, const ChannelFormat& channel) {
    return (pixel & channel.mask) >> channel.shift;
}

/// True when rect of a equals the same rect of b pixel for pixel.
inline bool SameRect(const Surface& a, const Surface& b, const Rect& rect) {
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (a.Row(y)[x] != b.Row(y)[x]) {
                return false;
            }
        }
    }
    return true;
}

/// Checks every pixel (x, y) of s against want(x, y).
template <typename Want>
void ExpectPixels(const Surface& s, Want want) {
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            ASSERT_EQ(s.Row(y)[x], static_cast<uint16_t>(want(x, y))) << x << "," << y;
        }
    }
}

}  // namespace talu::stage::testing
