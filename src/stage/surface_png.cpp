#include "stage/surface_png.h"

#include "host/image/sdl_image_codec.h"

namespace talu::stage {

bool WriteSurfacePng(const std::filesystem::path& file, const stage::Surface& surface) {
    host::RgbaImage image{surface.Width(), surface.Height(), {}};
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height * 4);
    uint32_t key = 0;
    const bool keyed = surface.GetSourceKey(key);
    const stage::PixelFormat& format = surface.Format();
    for (int y = 0; y < surface.Height(); ++y) {
        const uint16_t* row = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            image.pixels.insert(image.pixels.end(),
                                {format.red.ExpandFull(row[x]), format.green.ExpandFull(row[x]),
                                 format.blue.ExpandFull(row[x]),
                                 static_cast<uint8_t>(keyed && row[x] == key ? 0 : 255)});
        }
    }
    return host::WritePng(file, image);
}

}  // namespace talu::stage
