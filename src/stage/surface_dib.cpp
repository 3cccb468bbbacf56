// Conversion of device-independent bitmaps (picture loading's output) into surfaces.
#include <array>
#include <cstdlib>

#include "stage/nearest_map.h"
#include "stage/surface.h"

namespace talu::stage {

namespace {

// Bytes per row of a bitmap: rows are padded to four bytes.
int64_t DibStride(int64_t width, int64_t bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

// Native values of the palette entries; indices the bitmap does not define read as black.
std::array<uint16_t, 256> PaletteValues(const DibView& dib, const PixelFormat& format) {
    std::array<uint16_t, 256> values{};
    const int count = dib.palette == nullptr ? 0 : std::min(dib.paletteCount, 256);
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = dib.palette + static_cast<std::size_t>(i) * 4;
        values[static_cast<std::size_t>(i)] = format.Pack(entry[2], entry[1], entry[0]);
    }
    for (int i = count; i < 256; ++i) {
        values[static_cast<std::size_t>(i)] = format.Pack(0, 0, 0);
    }
    return values;
}

}  // namespace

bool Surface::FromDib(const DibView& dib, const PixelFormat& format, int width, int height) {
    Release();
    const int bits = dib.bitCount;
    if (bits != 4 && bits != 8 && bits != 24) {
        return false;
    }
    const int64_t sourceWidth = dib.width;
    const int64_t sourceHeight = dib.height < 0 ? -static_cast<int64_t>(dib.height) : dib.height;
    if (sourceWidth <= 0 || sourceHeight <= 0 || sourceWidth > kMaxSurfaceSide ||
        sourceHeight > kMaxSurfaceSide || dib.bits == nullptr) {
        return false;
    }
    const int64_t stride = DibStride(sourceWidth, bits);
    if (static_cast<uint64_t>(stride * sourceHeight) > dib.bitsSize) {
        return false;
    }
    if (!Create(width == 0 ? static_cast<int>(sourceWidth) : width,
                height == 0 ? static_cast<int>(sourceHeight) : height, format)) {
        return false;
    }

    const bool topDown = dib.height < 0;
    const std::array<uint16_t, 256> palette = PaletteValues(dib, format);
    const std::vector<int> columns = ScaleMap(static_cast<int>(sourceWidth), width_);
    const std::vector<int> rows = ScaleMap(static_cast<int>(sourceHeight), height_);
    for (int y = 0; y < height_; ++y) {
        const int sy = rows[static_cast<std::size_t>(y)];
        const uint8_t* in = dib.bits + (topDown ? sy : sourceHeight - 1 - sy) * stride;
        uint16_t* out = Row(y);
        for (int x = 0; x < width_; ++x) {
            const int sx = columns[static_cast<std::size_t>(x)];
            if (bits == 24) {
                const uint8_t* p = in + static_cast<std::size_t>(sx) * 3;
                out[x] = format.Pack(p[2], p[1], p[0]);
            } else if (bits == 8) {
                out[x] = palette[in[sx]];
            } else {
                // The high nibble is the left pixel of each byte.
                const uint8_t pair = in[sx / 2];
                out[x] = palette[(sx & 1) == 0 ? pair >> 4 : pair & 0x0F];
            }
        }
    }
    return true;
}

}  // namespace talu::stage
