#include "stage/shrunk_picture.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace talu::stage {

host::RgbaImage ShrunkPicture(const Surface& surface, int width, int height) {
    host::RgbaImage picture;
    const ChannelFormat r = surface.Format().red;
    const ChannelFormat g = surface.Format().green;
    const ChannelFormat b = surface.Format().blue;
    const int sourceWidth = surface.Width();
    const int sourceHeight = surface.Height();
    if (width > 0 && height > 0 && sourceWidth > 0 && sourceHeight > 0) {
        picture.width = width;
        picture.height = height;
        picture.pixels.resize(static_cast<std::size_t>(width) * height * 4);
        uint8_t* out = picture.pixels.data();
        // Four samples a pixel, at the quarters of the screen area it covers: smooth enough for
        // a small picture, and cheap enough to take at every save point on the worker.
        const auto at = [](int i, int quarter, int source, int target) {
            return static_cast<int>((static_cast<int64_t>(4 * i + quarter) * source) /
                                    (4 * target));
        };
        std::vector<int> columns(static_cast<std::size_t>(width) * 2);
        for (int x = 0; x < width; ++x) {
            columns[2 * x] = at(x, 1, sourceWidth, width);
            columns[2 * x + 1] = at(x, 3, sourceWidth, width);
        }
        for (int y = 0; y < height; ++y) {
            const uint16_t* rows[2] = {surface.Row(at(y, 1, sourceHeight, height)),
                                       surface.Row(at(y, 3, sourceHeight, height))};
            for (int x = 0; x < width; ++x) {
                uint32_t red = 0;
                uint32_t green = 0;
                uint32_t blue = 0;
                for (const uint16_t* row : rows) {
                    for (const int column : {columns[2 * x], columns[2 * x + 1]}) {
                        red += r.ExpandFull(row[column]);
                        green += g.ExpandFull(row[column]);
                        blue += b.ExpandFull(row[column]);
                    }
                }
                // One store a pixel: byte stores would make the compiler reload everything.
                const uint8_t rgba[4] = {static_cast<uint8_t>(red / 4),
                                         static_cast<uint8_t>(green / 4),
                                         static_cast<uint8_t>(blue / 4), 255};
                std::memcpy(out, rgba, 4);
                out += 4;
            }
        }
    }
    return picture;
}

}  // namespace talu::stage
