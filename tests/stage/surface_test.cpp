#include "stage/surface.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <bit>
#include <climits>
#include <filesystem>
#include <vector>

#include "picture_test_support.h"
#include "pixel_test_support.h"
#include "stage/bmp_reader.h"

namespace talu::stage {
namespace {

using testing::PatternSurface;
using testing::Solid;

class SurfaceTest : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(SurfaceTest, UnloadedSurfacesRefuseEverythingAndAbsurdSizesLeaveThemSo) {
    Surface s;
    EXPECT_FALSE(s.Create(0, 10, GetParam()));
    EXPECT_FALSE(s.Create(10, -1, GetParam()));
    EXPECT_FALSE(s.Create(kMaxSurfaceSide + 1, 1, GetParam()));
    EXPECT_FALSE(s.IsLoaded());
    Surface loaded = PatternSurface(8, 8, GetParam());
    EXPECT_FALSE(loaded.CopyTo(Rect{0, 0, 8, 8}, s, Rect{0, 0, 8, 8}, 0));
    EXPECT_FALSE(s.CopyTo(Rect{0, 0, 8, 8}, loaded, Rect{0, 0, 8, 8}, 0));
    EXPECT_FALSE(loaded.CopyScaled(s));
}

// A stage that grows and shrinks again must not keep the large surface's memory. Counted by
// glibc's allocator, which hands out such large blocks as mappings of their own; another
// allocator (the sanitizers') reports none and the check is skipped.
TEST(SurfaceMemory, MadeSmallerItGivesTheMemoryBack) {
    Surface surface;
    ASSERT_TRUE(surface.Create(4096, 4096, PixelFormat::Rgb565()));  // 32 MB
    const std::size_t large = mallinfo2().hblkhd;
    if (large < 32u << 20) {
        GTEST_SKIP() << "the allocator does not report mapped blocks";
    }
    ASSERT_TRUE(surface.Create(16, 16, PixelFormat::Rgb565()));
    EXPECT_LT(mallinfo2().hblkhd, large - (30u << 20));
}

// Rows are a pitch apart, which the pixel kernels rely on; a surface created again has no key.
TEST_P(SurfaceTest, RowsArePitchApartAndReleaseDropsTheKey) {
    Surface s;
    ASSERT_TRUE(s.Create(5, 3, GetParam()));
    s.Row(0)[2 * s.Pitch() + 4] = 0x1234;
    EXPECT_EQ(s.Row(2)[4], 0x1234);
    s.SetSourceKey(0xFF00FF);
    ASSERT_TRUE(s.Create(5, 3, GetParam()));
    EXPECT_EQ(s.BlitFlags(), 0u);
}

TEST_P(SurfaceTest, FillAndFillRectClip) {
    Surface s = Solid(6, 4, GetParam(), 0xFFFFFF);
    const uint32_t white = s.NativeColour(0xFFFFFF);
    s.FillRect(Rect{-5, 2, 3, 100}, 0);
    testing::ExpectPixels(s, [&](int x, int y) { return (y >= 2 && x < 3) ? 0u : white; });
}

// Target pixel (x, y) of the target rectangle takes source pixel (source.left + (x -
// target.left) x source width / target width, likewise for rows) when that pixel exists; every
// other target pixel keeps its value.
TEST_P(SurfaceTest, CopyClipsBothSurfacesAndSamplesTheNearestPixel) {
    const struct {
        const char* name;
        int sourceWidth, sourceHeight;
        Rect source;
        int targetWidth, targetHeight;
        Rect target;
    } cases[] = {
        {"negative target", 40, 40, {0, 0, 40, 40}, 30, 30, {-10, -10, 30, 30}},
        {"target beyond right and bottom", 20, 20, {0, 0, 20, 20}, 10, 10, {5, 5, 25, 25}},
        {"source beyond its surface", 8, 8, {-4, -4, 12, 12}, 20, 20, {0, 0, 16, 16}},
        {"inverted", 8, 8, {4, 4, 2, 2}, 8, 8, {4, 4, 2, 2}},
        {"target outside", 8, 8, {0, 0, 8, 8}, 8, 8, {8, 0, 16, 8}},
        {"cut below by more than the source", 8, 8, {0, 2, 8, 4}, 8, 8, {0, 10, 8, 12}},
        {"stretch", 4, 2, {0, 0, 4, 2}, 8, 6, {0, 0, 8, 6}},
        {"shrink", 4, 2, {0, 0, 4, 2}, 2, 1, {0, 0, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Surface src = PatternSurface(c.sourceWidth, c.sourceHeight, GetParam());
        Surface dst = Solid(c.targetWidth, c.targetHeight, GetParam());
        bool anything = false;
        const Rect& s = c.source;
        const Rect& d = c.target;
        const bool copied = src.CopyTo(s, dst, d, 0);
        testing::ExpectPixels(dst, [&](int x, int y) -> uint16_t {
            if (x < d.left || x >= d.right || y < d.top || y >= d.bottom) {
                return 0;
            }
            const int sx = s.left + (x - d.left) * s.Width() / d.Width();
            const int sy = s.top + (y - d.top) * s.Height() / d.Height();
            if (sx < 0 || sx >= c.sourceWidth || sy < 0 || sy >= c.sourceHeight) {
                return 0;
            }
            anything = true;
            return src.Row(sy)[sx];
        });
        EXPECT_EQ(copied, anything);
    }
}

TEST_P(SurfaceTest, RectanglesAnywhereNeverReachOutside) {
    const Surface src = PatternSurface(16, 16, GetParam());
    Surface dst = Solid(16, 16, GetParam());
    const int far[] = {INT_MIN, -100000, -17, -1, 0, 7, 16, 17, 100000, INT_MAX};
    for (int a : far) {
        for (int b : far) {
            src.CopyTo(Rect{a, b, b, a}, dst, Rect{b, a, a, b}, kCopyKeySource);
            src.CopyTo(Rect{0, 0, 16, 16}, dst, Rect{a, b, a / 2 + 8, b / 2 + 8}, 0);
            src.CopyTo(Rect{a, a, b, b}, dst, Rect{0, 0, 16, 16}, 0);
        }
    }
    SUCCEED();  // The sanitizer build fails this test on any stray access.
}

TEST_P(SurfaceTest, KeyedCopySkipsKeyPixelsOnlyWhenAsked) {
    Surface src = Solid(4, 1, GetParam(), 0xFF00FF);
    src.Row(0)[1] = 0x0001;
    src.SetSourceKey(0xFF00FF);
    Surface dst = Solid(4, 1, GetParam(), 0x00FF00);
    const uint16_t green = static_cast<uint16_t>(dst.NativeColour(0x00FF00));
    ASSERT_TRUE(src.CopyTo(src.Bounds(), dst, dst.Bounds(), src.BlitFlags()));
    EXPECT_EQ(dst.Row(0)[0], green);
    EXPECT_EQ(dst.Row(0)[1], 0x0001);
    ASSERT_TRUE(src.CopyTo(src.Bounds(), dst, dst.Bounds(), 0));
    EXPECT_EQ(dst.Row(0)[0], src.Row(0)[0]);
}

// Rows overlap too, so copying row by row in either order would read pixels already written.
TEST_P(SurfaceTest, CopyWithinOneSurfaceReadsBeforeWriting) {
    Surface s = PatternSurface(10, 10, GetParam());
    const Surface before = PatternSurface(10, 10, GetParam());
    ASSERT_TRUE(s.CopyTo(Rect{0, 0, 8, 8}, s, Rect{2, 2, 10, 10}, 0));
    testing::ExpectPixels(s, [&](int x, int y) {
        return x >= 2 && y >= 2 ? before.Row(y - 2)[x - 2] : before.Row(y)[x];
    });
}

TEST_P(SurfaceTest, CopyScaledUsesTruncatedRatio) {
    const Surface src = PatternSurface(3, 3, GetParam());
    Surface dst = Solid(7, 2, GetParam());
    ASSERT_TRUE(dst.CopyScaled(src));
    testing::ExpectPixels(dst, [&](int x, int y) {
        return src.Row(static_cast<int>(y * (3.0 / 2)))[static_cast<int>(x * (3.0 / 7))];
    });
}

INSTANTIATE_TEST_SUITE_P(BothFormats, SurfaceTest, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

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
