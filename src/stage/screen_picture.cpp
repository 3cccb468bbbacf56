#include "stage/screen_picture.h"

#include <algorithm>

namespace talu::stage {

host::RgbaImage ShrunkScreenPicture(const Screen& screen, int width, int height) {
    host::RgbaImage picture;
    const PixelFormat format = screen.Format();
    screen.WithPixels([&](const uint16_t* pixels, int pitch, int sourceWidth, int sourceHeight) {
        if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) {
            return;
        }
        picture.width = width;
        picture.height = height;
        picture.pixels.resize(static_cast<std::size_t>(width) * height * 4);
        uint8_t* out = picture.pixels.data();
        for (int y = 0; y < height; ++y) {
            const int top = y * sourceHeight / height;
            const int bottom = std::max(top + 1, (y + 1) * sourceHeight / height);
            for (int x = 0; x < width; ++x) {
                const int left = x * sourceWidth / width;
                const int right = std::max(left + 1, (x + 1) * sourceWidth / width);
                uint32_t red = 0;
                uint32_t green = 0;
                uint32_t blue = 0;
                for (int sy = top; sy < bottom; ++sy) {
                    const uint16_t* row = pixels + static_cast<std::ptrdiff_t>(sy) * pitch;
                    for (int sx = left; sx < right; ++sx) {
                        red += format.red.Expand(row[sx]);
                        green += format.green.Expand(row[sx]);
                        blue += format.blue.Expand(row[sx]);
                    }
                }
                const uint32_t count = static_cast<uint32_t>((bottom - top) * (right - left));
                *out++ = static_cast<uint8_t>(red / count);
                *out++ = static_cast<uint8_t>(green / count);
                *out++ = static_cast<uint8_t>(blue / count);
                *out++ = 255;
            }
        }
    });
    return picture;
}

}  // namespace talu::stage
