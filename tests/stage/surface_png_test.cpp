// Surfaces as RGBA pictures: written as PNG, and shrunk for bookmark thumbnails.
#include "stage/surface_png.h"

#include <gtest/gtest.h>

#include "host/image/sdl_image_codec.h"
#include "stage/shrunk_picture.h"
#include "support/file_contents.h"
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
        host::DecodeOptions options;
        options.keepAlpha = true;
        const auto read = host::DecodeImage(test::ReadBytes(file), options);
        ASSERT_TRUE(read.has_value());
        // Bottom-up rows of blue, green, red, alpha.
        EXPECT_EQ(std::vector<uint8_t>(read->rows.begin(), read->rows.begin() + 8),
                  (std::vector<uint8_t>{255, 255, 255, 255, c.red, c.green, c.red, 255}));
    }
}

TEST(ShrunkPicture, EachPixelAveragesTheSurfacePixelsItCovers) {
    Surface screen;
    EXPECT_EQ(ShrunkPicture(screen, 2, 2).width, 0);  // nothing of an empty surface
    ASSERT_TRUE(screen.Create(8, 4, PixelFormat::Rgb565()));
    const PixelFormat format = PixelFormat::Rgb565();
    // Left half two white columns and two black ones, right half pure red.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            screen.Row(y)[x] =
                x >= 4 ? format.Pack(248, 0, 0) : (x < 2 ? format.Pack(248, 252, 248) : 0);
        }
    }
    EXPECT_EQ(ShrunkPicture(screen, 0, 2).width, 0);
    const host::RgbaImage picture = ShrunkPicture(screen, 2, 2);
    ASSERT_EQ(picture.width, 2);
    ASSERT_EQ(picture.height, 2);
    ASSERT_EQ(picture.pixels.size(), 16u);
    const std::vector<std::uint8_t> grey = {127, 127, 127, 255};
    const std::vector<std::uint8_t> red = {255, 0, 0, 255};
    for (int y = 0; y < 2; ++y) {
        const auto row = picture.pixels.begin() + y * 8;
        EXPECT_EQ(std::vector<std::uint8_t>(row, row + 4), grey);
        EXPECT_EQ(std::vector<std::uint8_t>(row + 4, row + 8), red);
    }
    // Larger than the screen: every pixel still covers one screen pixel.
    const host::RgbaImage larger = ShrunkPicture(screen, 16, 8);
    EXPECT_EQ(larger.pixels.size(), 16u * 8u * 4u);
    EXPECT_EQ(larger.pixels[0], 255);
    EXPECT_EQ(larger.pixels[12], 255);  // two pixels share each screen pixel
    EXPECT_EQ(larger.pixels[16], 0);    // the first black column
}

}  // namespace
}  // namespace talu::stage
