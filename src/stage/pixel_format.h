#pragma once

#include <cstdint>

// Every surface shares the display's 16-bit layout (5-6-5 or 5-5-5). Pixel routines convert 8-bit
// components with the per-channel loss and shift held here: field = (component >> loss) << shift.
namespace talu::stage {

/// One colour channel of a 16-bit pixel.
struct ChannelFormat {
    /// The channel's bits within a pixel value.
    uint32_t mask = 0;
    /// Position of the lowest set bit of mask.
    uint8_t shift = 0;
    /// mask >> shift: 31 for a 5-bit channel, 63 for a 6-bit channel.
    uint8_t max = 0;
    /// Bits dropped from an 8-bit component: 3 when max is 31, else 2.
    uint8_t loss = 0;

    /// Describes the channel with these bits; only 5- and 6-bit masks occur.
    static constexpr ChannelFormat FromMask(uint32_t mask) {
        ChannelFormat c;
        c.mask = mask;
        uint32_t m = mask;
        while (m != 0 && (m & 1u) == 0) {
            m >>= 1;
            ++c.shift;
        }
        c.max = static_cast<uint8_t>(m);
        c.loss = c.max == 31 ? 3 : 2;
        return c;
    }

    /// The pixel field for an 8-bit component.
    constexpr uint32_t Pack(uint32_t component) const {
        return ((component & 0xFFu) >> loss) << shift;
    }
    /// The 8-bit component of a pixel value: the field shifted left by loss, low bits zero.
    constexpr uint8_t Expand(uint32_t pixel) const {
        return static_cast<uint8_t>(((pixel & mask) >> shift) << loss);
    }

    /// The 8-bit component of a pixel value with the field's top bits repeated in the low bits,
    /// so that a full field is 255: how PNG files show what the screen shows.
    constexpr uint8_t ExpandFull(uint32_t pixel) const {
        const uint32_t field = (pixel & mask) >> shift;
        return static_cast<uint8_t>((field << loss) | (field >> (8 - 2 * loss)));
    }

    friend constexpr bool operator==(const ChannelFormat&, const ChannelFormat&) = default;
};

/// Per-channel description of a 16-bit pixel layout; a small value type.
struct PixelFormat {
    ChannelFormat red;
    ChannelFormat green;
    ChannelFormat blue;

    /// The layout with these channel masks.
    static constexpr PixelFormat FromMasks(uint32_t red, uint32_t green, uint32_t blue) {
        return PixelFormat{ChannelFormat::FromMask(red), ChannelFormat::FromMask(green),
                           ChannelFormat::FromMask(blue)};
    }
    /// 5-6-5: red 0xF800, green 0x07E0, blue 0x001F.
    static constexpr PixelFormat Rgb565() { return FromMasks(0xF800, 0x07E0, 0x001F); }
    /// 5-5-5: red 0x7C00, green 0x03E0, blue 0x001F.
    static constexpr PixelFormat Rgb555() { return FromMasks(0x7C00, 0x03E0, 0x001F); }

    /// The 16-bit value of 8-bit components.
    constexpr uint16_t Pack(uint32_t r, uint32_t g, uint32_t b) const {
        return static_cast<uint16_t>(red.Pack(r) | green.Pack(g) | blue.Pack(b));
    }
    /// The 16-bit value of a 24-bit colour (red in bits 0-7, green 8-15, blue 16-23).
    constexpr uint16_t FromColour(uint32_t colour) const {
        return Pack(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    }
    /// The 24-bit colour (red in bits 0-7) of a pixel, each channel expanded by its loss.
    constexpr uint32_t ToColour(uint32_t pixel) const {
        return uint32_t{red.Expand(pixel)} | uint32_t{green.Expand(pixel)} << 8 |
               uint32_t{blue.Expand(pixel)} << 16;
    }

    friend constexpr bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

}  // namespace talu::stage
