#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "picture_test_support.h"
#include "pixel_test_support.h"
#include "stage/bmp_reader.h"
#include "stage/surface.h"

namespace talu::stage {
namespace {

using testing::PatternSurface;

class DibTest : public ::testing::TestWithParam<PixelFormat> {};

uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The BMP reader hands over 8 and 24 bits, bottom-up (the BMP Suite test covers those); 4-bit and
// top-down pictures come straight to the surface.
TEST_P(DibTest, ConvertsFourBitPixelsHighNibbleFirstInEitherRowOrder) {
    const PixelFormat f = GetParam();
    // Palette: index 1 red, 2 green, 3 blue. Stored rows: 1 2 3 15 (past the palette), 1 1 1 1.
    const uint8_t palette[16] = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    const uint8_t nibbles[8] = {0x12, 0x3F, 0xEE, 0xEE, 0x11, 0x11, 0xEE, 0xEE};
    const uint16_t red = f.FromColour(0x0000FF);
    Surface down;
    ASSERT_TRUE(down.FromDib(DibView{4, -2, 4, palette, 4, nibbles, sizeof nibbles}, f));
    EXPECT_EQ(down.Row(0)[0], red);
    EXPECT_EQ(down.Row(0)[1], f.FromColour(0x00FF00));
    EXPECT_EQ(down.Row(0)[2], f.FromColour(0xFF0000));
    EXPECT_EQ(down.Row(0)[3], 0);
    EXPECT_EQ(down.Row(1)[1], red);
    Surface up;
    ASSERT_TRUE(up.FromDib(DibView{4, 2, 4, palette, 4, nibbles, sizeof nibbles}, f));
    EXPECT_EQ(up.Row(0)[1], red);
    EXPECT_EQ(up.Row(1)[1], f.FromColour(0x00FF00));
}

TEST_P(DibTest, RefusesOtherDepthsShortDataAndAbsurdSizes) {
    std::vector<uint8_t> bits(64, 0);
    Surface s = PatternSurface(2, 2, GetParam());
    EXPECT_FALSE(s.FromDib(DibView{2, 2, 16, nullptr, 0, bits.data(), bits.size()}, GetParam()));
    EXPECT_FALSE(s.IsLoaded());
    EXPECT_FALSE(s.FromDib(DibView{8, 8, 24, nullptr, 0, bits.data(), bits.size()}, GetParam()));
    EXPECT_FALSE(s.FromDib(DibView{1, INT32_MIN, 8, nullptr, 0, bits.data(), 64}, GetParam()));
    EXPECT_FALSE(s.FromDib(DibView{INT32_MAX, 1, 24, nullptr, 0, bits.data(), 64}, GetParam()));
    EXPECT_FALSE(s.FromDib(DibView{2, 2, 8, nullptr, 0, nullptr, 0}, GetParam()));
    EXPECT_FALSE(
        s.FromDib(DibView{2, 2, 24, nullptr, 0, bits.data(), bits.size()}, GetParam(), -1, 5));
    EXPECT_FALSE(s.IsLoaded());
}

TEST_P(DibTest, RealPictureSurvivesBmpWritingAtSurfacePrecision) {
    const auto original =
        ReadBmp(test::ReadBytes(std::filesystem::path(TALU_TESTDATA) / "bmpsuite/g/rgb24.bmp"))
            .bitmap;
    ASSERT_TRUE(original);
    Surface s;
    ASSERT_TRUE(s.FromDib(original->View(), GetParam()));
    const auto written = ReadBmp(s.EncodeBmp()).bitmap;
    ASSERT_TRUE(written);
    ASSERT_EQ(written->bits.size(), original->bits.size());
    const PixelFormat f = GetParam();
    const int loss[3] = {f.blue.loss, f.green.loss, f.red.loss};
    for (std::size_t i = 0; i < original->bits.size(); ++i) {
        const int x = static_cast<int>(i % original->Stride());
        if (x < original->width * 3) {
            const int l = loss[x % 3];
            ASSERT_EQ(written->bits[i], static_cast<uint8_t>(original->bits[i] >> l << l)) << i;
        }
    }
}

TEST_P(DibTest, BmpLayoutHasPixelsAtOffset1078) {
    Surface s = testing::Solid(3, 1, GetParam());
    s.Row(0)[0] = GetParam().FromColour(0xFF0000);  // blue
    s.Row(0)[2] = GetParam().FromColour(0x0000FF);  // red
    const std::vector<uint8_t> out = s.EncodeBmp();
    ASSERT_EQ(out.size(), 1078u + 12u);
    EXPECT_EQ(out[0], 'B');
    EXPECT_EQ(out[1], 'M');
    // Size, reserved, pixel offset, header size, width, height, planes and bit count.
    const std::pair<std::size_t, uint32_t> fields[] = {
        {2, 1090}, {6, 0}, {10, 1078}, {14, 40}, {18, 3}, {22, 1}, {26, 1 | 24 << 16}};
    for (const auto& [at, value] : fields) {
        EXPECT_EQ(Le32(out, at), value) << at;
    }
    for (std::size_t i = 30; i < 1078; ++i) {
        ASSERT_EQ(out[i], 0) << i;
    }
    EXPECT_EQ(out[1078], 0xF8);  // blue byte first
    EXPECT_EQ(out[1078 + 8], 0xF8);
    EXPECT_EQ(out[1078 + 6], 0x00);
    EXPECT_FALSE(s.WriteBmp("/nonexistent-folder/x.bmp"));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, DibTest, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

}  // namespace
}  // namespace talu::stage
