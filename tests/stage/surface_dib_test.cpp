#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "pixel_test_support.h"
#include "stage/surface.h"

namespace talu::stage {
namespace {

using testing::PatternSurface;

class DibTest : public ::testing::TestWithParam<PixelFormat> {};

uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bitmap of an uncompressed BMP file with a 40-byte or longer information header.
DibView ViewOf(const std::vector<uint8_t>& file) {
    DibView dib;
    const uint32_t headerSize = Le32(file, 14);
    dib.width = static_cast<int>(Le32(file, 18));
    dib.height = static_cast<int>(Le32(file, 22));
    dib.bitCount = file[28] | file[29] << 8;
    const uint32_t used = Le32(file, 46);
    dib.palette = file.data() + 14 + headerSize;
    dib.paletteCount =
        static_cast<int>(used != 0 ? used : (dib.bitCount <= 8 ? 1u << dib.bitCount : 0));
    const uint32_t offset = Le32(file, 10);
    dib.bits = file.data() + offset;
    dib.bitsSize = file.size() - offset;
    return dib;
}

std::filesystem::path Suite(const char* name) {
    return std::filesystem::path(TALU_TESTDATA) / "bmpsuite" / "g" / name;
}

TEST_P(DibTest, FourBitOddWidthReadsHighNibbleLast) {
    // Palette: index 1 red, 2 green, 3 blue; one row of three pixels 1, 2, 3.
    const uint8_t palette[16] = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    const uint8_t bits[4] = {0x12, 0x3F, 0xEE, 0xEE};
    const DibView dib{3, 1, 4, palette, 4, bits, sizeof bits};
    Surface s;
    ASSERT_TRUE(s.FromDib(dib, GetParam()));
    EXPECT_EQ(s.Width(), 3);
    EXPECT_EQ(s.Row(0)[0], GetParam().FromColour(0x0000FF));
    EXPECT_EQ(s.Row(0)[1], GetParam().FromColour(0x00FF00));
    EXPECT_EQ(s.Row(0)[2], GetParam().FromColour(0xFF0000));
}

TEST_P(DibTest, RowsAreBottomUpUnlessHeightIsNegative) {
    const uint8_t palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    const uint8_t bits[8] = {1, 0, 0, 0, 0, 0, 0, 0};  // stored first: the bottom row
    Surface up, down;
    ASSERT_TRUE(up.FromDib(DibView{1, 2, 8, palette, 2, bits, sizeof bits}, GetParam()));
    ASSERT_TRUE(down.FromDib(DibView{1, -2, 8, palette, 2, bits, sizeof bits}, GetParam()));
    const uint16_t white = GetParam().FromColour(0xFFFFFF);
    EXPECT_EQ(up.Row(1)[0], white);
    EXPECT_EQ(up.Row(0)[0], 0);
    EXPECT_EQ(down.Row(0)[0], white);
}

TEST_P(DibTest, IndexOutsidePaletteReadsBlack) {
    const uint8_t palette[4] = {255, 255, 255, 0};
    const uint8_t bits[4] = {0, 200, 0, 0};
    Surface s;
    ASSERT_TRUE(s.FromDib(DibView{2, 1, 8, palette, 1, bits, sizeof bits}, GetParam()));
    EXPECT_EQ(s.Row(0)[0], GetParam().FromColour(0xFFFFFF));
    EXPECT_EQ(s.Row(0)[1], 0);
}

TEST_P(DibTest, ScalingSamplesNearestSourcePixel) {
    const uint8_t bits[4] = {10, 20, 30, 0};  // one 24-bit pixel, blue green red
    Surface s;
    ASSERT_TRUE(s.FromDib(DibView{1, 1, 24, nullptr, 0, bits, sizeof bits}, GetParam(), 5, 3));
    EXPECT_EQ(s.Width(), 5);
    EXPECT_EQ(s.Height(), 3);
    EXPECT_EQ(s.Row(2)[4], GetParam().Pack(30, 20, 10));
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

TEST_P(DibTest, SuiteTopDownEqualsBottomUp) {
    const auto up = ReadFile(Suite("pal8.bmp"));
    const auto down = ReadFile(Suite("pal8topdown.bmp"));
    ASSERT_FALSE(up.empty());
    ASSERT_FALSE(down.empty());
    Surface a, b;
    ASSERT_TRUE(a.FromDib(ViewOf(up), GetParam()));
    ASSERT_TRUE(b.FromDib(ViewOf(down), GetParam()));
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y) {
        ASSERT_EQ(std::memcmp(a.Row(y), b.Row(y), a.Width() * 2u), 0) << "row " << y;
    }
}

TEST_P(DibTest, SuiteRgb24SurvivesBmpWritingAtSurfacePrecision) {
    const auto file = ReadFile(Suite("rgb24.bmp"));
    ASSERT_FALSE(file.empty());
    const DibView dib = ViewOf(file);
    Surface s;
    ASSERT_TRUE(s.FromDib(dib, GetParam()));
    const std::vector<uint8_t> out = s.EncodeBmp();
    const std::size_t stride = (dib.width * 3u + 3) & ~3u;
    const PixelFormat f = GetParam();
    const int loss[3] = {f.blue.loss, f.green.loss, f.red.loss};
    for (int y = 0; y < dib.height; ++y) {
        for (int x = 0; x < dib.width * 3; ++x) {
            const uint8_t original = dib.bits[y * stride + x];
            const uint8_t written = out[1078 + y * stride + x];
            const int l = loss[x % 3];
            ASSERT_EQ(written, static_cast<uint8_t>(original >> l << l)) << x << "," << y;
        }
    }
}

TEST_P(DibTest, BmpLayoutHasPixelsAtOffset1078) {
    Surface s;
    ASSERT_TRUE(s.Create(3, 1, GetParam()));
    s.Row(0)[0] = GetParam().FromColour(0xFF0000);  // blue
    s.Row(0)[2] = GetParam().FromColour(0x0000FF);  // red
    const std::vector<uint8_t> out = s.EncodeBmp();
    ASSERT_EQ(out.size(), 1078u + 12u);
    EXPECT_EQ(out[0], 'B');
    EXPECT_EQ(out[1], 'M');
    EXPECT_EQ(Le32(out, 2), 1090u);
    EXPECT_EQ(Le32(out, 6), 0u);
    EXPECT_EQ(Le32(out, 10), 1078u);
    EXPECT_EQ(Le32(out, 14), 40u);
    EXPECT_EQ(Le32(out, 18), 3u);
    EXPECT_EQ(Le32(out, 22), 1u);
    EXPECT_EQ(out[26], 1);
    EXPECT_EQ(out[28], 24);
    for (std::size_t i = 30; i < 1078; ++i) {
        ASSERT_EQ(out[i], 0) << i;
    }
    EXPECT_EQ(out[1078], 0xF8);  // blue byte first
    EXPECT_EQ(out[1078 + 8], 0xF8);
    EXPECT_EQ(out[1078 + 6], 0x00);
}

TEST_P(DibTest, WriteBmpWritesTheEncodedFile) {
    const Surface s = PatternSurface(5, 4, GetParam());
    const auto path = std::filesystem::temp_directory_path() /
                      ("talu_pixels_" + std::to_string(::getpid()) + ".bmp");
    ASSERT_TRUE(s.WriteBmp(path));
    EXPECT_EQ(ReadFile(path), s.EncodeBmp());
    std::filesystem::remove(path);
    EXPECT_FALSE(s.WriteBmp("/nonexistent-folder/x.bmp"));
    EXPECT_FALSE(Surface{}.WriteBmp(path));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, DibTest, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

}  // namespace
}  // namespace talu::stage
