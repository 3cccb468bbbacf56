#pragma once

#include <cstdint>
#include <vector>

#include "stage/dib_view.h"

namespace talu::stage {

/// A decoded picture in device-independent bitmap form, as every picture reader hands it to
/// picture loading: 8-bit palette indices or 24-bit blue-green-red pixels, rows bottom-up and
/// padded to 4 bytes. Owns its memory.
struct Bitmap {
    int width = 0;
    /// Always positive; the first stored row is the bottom one.
    int height = 0;
    /// 8 (indices into palette) or 24.
    int bitCount = 0;
    /// Four bytes per entry: blue, green, red, 0. Empty for 24 bits.
    std::vector<uint8_t> palette;
    /// Stride() x height bytes.
    std::vector<uint8_t> bits;

    /// Bytes per stored row.
    int Stride() const { return ((width * bitCount + 31) / 32) * 4; }
    /// Number of palette entries.
    int PaletteCount() const { return static_cast<int>(palette.size() / 4); }
    /// A view for Surface::FromDib; valid while this bitmap is unchanged.
    DibView View() const {
        return DibView{
            width,          height,      bitCount,   palette.empty() ? nullptr : palette.data(),
            PaletteCount(), bits.data(), bits.size()};
    }
};

}  // namespace talu::stage
