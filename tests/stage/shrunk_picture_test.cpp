#include "stage/shrunk_picture.h"

#include <gtest/gtest.h>

namespace talu::stage {
namespace {

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
