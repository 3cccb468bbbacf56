// Writing a surface as a 24-bit BMP file, the layout saved pictures have always had.
#include <fstream>

#include "stage/surface.h"

namespace talu::stage {

namespace {

// The pixel data starts behind the two headers and 1024 zero bytes of palette room.
constexpr uint32_t kPixelOffset = 14 + 40 + 1024;

void Put16(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> Surface::EncodeBmp() const {
    if (!IsLoaded()) {
        return {};
    }
    const std::size_t stride = static_cast<std::size_t>((width_ + 1) * 3) & ~std::size_t{3};
    const std::size_t imageSize = stride * static_cast<std::size_t>(height_);
    std::vector<uint8_t> out(kPixelOffset + imageSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(kPixelOffset + imageSize));
    Put32(out, 10, kPixelOffset);
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<uint32_t>(width_));
    Put32(out, 22, static_cast<uint32_t>(height_));
    Put16(out, 26, 1);
    Put16(out, 28, 24);
    for (int y = 0; y < height_; ++y) {
        uint8_t* p = out.data() + kPixelOffset + static_cast<std::size_t>(height_ - 1 - y) * stride;
        const uint16_t* in = Row(y);
        for (int x = 0; x < width_; ++x) {
            *p++ = format_.blue.Expand(in[x]);
            *p++ = format_.green.Expand(in[x]);
            *p++ = format_.red.Expand(in[x]);
        }
    }
    return out;
}

bool Surface::WriteBmp(const std::filesystem::path& file) const {
    const std::vector<uint8_t> data = EncodeBmp();
    if (data.empty()) {
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace talu::stage
