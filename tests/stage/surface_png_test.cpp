#include "stage/surface_png.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "host/image/sdl_image_codec.h"
#include "support/temp_folder.h"

namespace talu::stage {
namespace {

// White and a mid grey of each layout written as PNG and read back: a full channel is 255, and
// every field keeps its top bits in the low bits, as the screen shows them.
TEST(SurfacePng, ChannelsWidenToTheFullByteInBothLayouts) {
    const struct {
        PixelFormat format;
        uint16_t grey;
        uint8_t red, green;
    } cases[] = {{PixelFormat::Rgb565(), 0x8410, 132, 130},
                 {PixelFormat::Rgb555(), 0x4210, 132, 132}};
    test::TempFolder folder;
    for (const auto& c : cases) {
        Surface surface;
        ASSERT_TRUE(surface.Create(2, 1, c.format));
        surface.Row(0)[0] = c.format.Pack(255, 255, 255);
        surface.Row(0)[1] = c.grey;
        const std::filesystem::path file = folder.Path() / "grey.png";
        ASSERT_TRUE(WriteSurfacePng(file, surface));
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        host::DecodeOptions options;
        options.keepAlpha = true;
        const auto read = host::DecodeImage(bytes, options);
        ASSERT_TRUE(read.has_value());
        // Bottom-up rows of blue, green, red, alpha.
        EXPECT_EQ(std::vector<uint8_t>(read->rows.begin(), read->rows.begin() + 8),
                  (std::vector<uint8_t>{255, 255, 255, 255, c.red, c.green, c.red, 255}));
    }
}

}  // namespace
}  // namespace talu::stage
