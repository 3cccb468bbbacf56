// Any bytes as a BMP file: the reader must refuse or decode without reading outside its input,
// and whatever it decodes must convert into a surface.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "stage/bmp_reader.h"
#include "stage/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talu::stage;
    BmpResult result = ReadBmp(std::span<const std::uint8_t>(data, size));
    if (!result.bitmap) {
        return 0;
    }
    const Bitmap& bitmap = *result.bitmap;
    if (bitmap.bits.size() != static_cast<std::size_t>(bitmap.Stride()) * bitmap.height ||
        (bitmap.bitCount != 8 && bitmap.bitCount != 24)) {
        std::abort();
    }
    Surface surface;
    if (!surface.FromDib(bitmap.View(), PixelFormat::Rgb565())) {
        std::abort();
    }
    // Scaled conversion walks the rows through the nearest-neighbour tables.
    Surface scaled;
    scaled.FromDib(bitmap.View(), PixelFormat::Rgb555(), 1 + bitmap.width / 3, 7);
    return 0;
}
