#include <gtest/gtest.h>

#include <climits>

#include "pixel_test_support.h"
#include "stage/surface.h"

namespace talu::stage {
namespace {

using testing::PatternSurface;

class SurfaceTest : public ::testing::TestWithParam<PixelFormat> {};

TEST(PixelFormatTest, ChannelsOfBothLayouts) {
    const PixelFormat f565 = PixelFormat::Rgb565();
    EXPECT_EQ(f565.red.shift, 11);
    EXPECT_EQ(f565.green.max, 63);
    EXPECT_EQ(f565.green.loss, 2);
    EXPECT_EQ(f565.blue.loss, 3);
    const PixelFormat f555 = PixelFormat::Rgb555();
    EXPECT_EQ(f555.red.shift, 10);
    EXPECT_EQ(f555.green.shift, 5);
    EXPECT_EQ(f555.green.max, 31);
    EXPECT_EQ(f555.green.loss, 3);
}

TEST(PixelFormatTest, MagentaIsNativeKey) {
    Surface s565, s555;
    ASSERT_TRUE(s565.Create(2, 2, PixelFormat::Rgb565()));
    ASSERT_TRUE(s555.Create(2, 2, PixelFormat::Rgb555()));
    EXPECT_EQ(s565.NativeColour(0xFF00FF), 0xF81Fu);
    EXPECT_EQ(s555.NativeColour(0xFF00FF), 0x7C1Fu);
    // Red sits in the low byte of a colour.
    EXPECT_EQ(s565.NativeColour(0x0000FF), 0xF800u);
    EXPECT_EQ(s555.NativeColour(0xFF0000), 0x001Fu);
}

TEST_P(SurfaceTest, ExpandKeepsTopBitsOfEveryComponent) {
    const PixelFormat f = GetParam();
    for (uint32_t c = 0; c < 256; ++c) {
        const uint32_t back = f.ToColour(f.Pack(c, c, c));
        EXPECT_EQ(back & 0xFF, c >> f.red.loss << f.red.loss);
        EXPECT_EQ((back >> 8) & 0xFF, c >> f.green.loss << f.green.loss);
    }
}

TEST_P(SurfaceTest, CreateRefusesAbsurdSizesAndStaysUnloaded) {
    Surface s;
    EXPECT_FALSE(s.Create(0, 10, GetParam()));
    EXPECT_FALSE(s.Create(10, -1, GetParam()));
    EXPECT_FALSE(s.Create(kMaxSurfaceSide + 1, 1, GetParam()));
    EXPECT_FALSE(s.IsLoaded());
    uint16_t* p = nullptr;
    int pitch = -1;
    EXPECT_FALSE(s.Lock(p, pitch));
    EXPECT_EQ(pitch, -1);
    EXPECT_EQ(s.NativeColour(0), kInvalidColour);
    PixelFormat out{};
    EXPECT_FALSE(s.GetFormat(out));
}

TEST_P(SurfaceTest, LockGivesPitchInPixelsAndReleaseUnloads) {
    Surface s;
    ASSERT_TRUE(s.Create(5, 3, GetParam()));
    uint16_t* p = nullptr;
    int pitch = 0;
    ASSERT_TRUE(s.Lock(p, pitch));
    EXPECT_GE(pitch, 5);
    p[2 * pitch + 4] = 0x1234;
    s.Unlock();
    EXPECT_EQ(s.Row(2)[4], 0x1234);
    PixelFormat f{};
    ASSERT_TRUE(s.GetFormat(f));
    EXPECT_EQ(f, GetParam());
    s.SetSourceKey(0);
    s.Release();
    EXPECT_FALSE(s.IsLoaded());
    uint32_t key = 7;
    EXPECT_FALSE(s.GetSourceKey(key));
    EXPECT_EQ(key, 7u);
}

TEST_P(SurfaceTest, InvalidColourReadsPixelZero) {
    Surface s;
    ASSERT_TRUE(s.Create(3, 3, GetParam()));
    s.Row(0)[0] = 0x4321;
    EXPECT_EQ(s.NativeColour(kInvalidColour), 0x4321u);
}

TEST_P(SurfaceTest, FillAndFillRectClip) {
    Surface s;
    ASSERT_TRUE(s.Create(6, 4, GetParam()));
    s.Fill(0xFFFFFF);
    const uint32_t white = s.NativeColour(0xFFFFFF);
    s.FillRect(Rect{-5, 2, 3, 100}, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(s.Row(y)[x], (y >= 2 && x < 3) ? 0u : white) << x << "," << y;
        }
    }
}

TEST_P(SurfaceTest, SourceKeyIsNativeValueAndSetsBlitFlags) {
    Surface s;
    ASSERT_TRUE(s.Create(2, 2, GetParam()));
    EXPECT_EQ(s.BlitFlags(), 0u);
    s.SetSourceKey(0xFF00FF);
    uint32_t key = 0;
    ASSERT_TRUE(s.GetSourceKey(key));
    EXPECT_EQ(key, s.NativeColour(0xFF00FF));
    EXPECT_EQ(s.BlitFlags(), kCopyKeySource);
}

TEST_P(SurfaceTest, NegativeTargetMovesSourceStart) {
    const Surface src = PatternSurface(40, 40, GetParam());
    Surface dst;
    ASSERT_TRUE(dst.Create(30, 30, GetParam()));
    ASSERT_TRUE(src.CopyTo(Rect{0, 0, 40, 40}, dst, Rect{-10, -10, 30, 30}, kCopyWait));
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(dst.Row(y)[x], src.Row(y + 10)[x + 10]) << x << "," << y;
        }
    }
}

TEST_P(SurfaceTest, OversizedTargetShrinksSourceAtRightAndBottom) {
    const Surface src = PatternSurface(20, 20, GetParam());
    Surface dst;
    ASSERT_TRUE(dst.Create(10, 10, GetParam()));
    ASSERT_TRUE(src.CopyTo(Rect{0, 0, 20, 20}, dst, Rect{5, 5, 25, 25}, kCopyWait));
    EXPECT_EQ(dst.Row(5)[5], src.Row(0)[0]);
    EXPECT_EQ(dst.Row(9)[9], src.Row(4)[4]);
    EXPECT_EQ(dst.Row(4)[4], 0u);
}

TEST_P(SurfaceTest, SourceBeyondItsSurfaceCopiesOnlyWhatExists) {
    const Surface src = PatternSurface(8, 8, GetParam());
    Surface dst;
    ASSERT_TRUE(dst.Create(20, 20, GetParam()));
    ASSERT_TRUE(src.CopyTo(Rect{-4, -4, 12, 12}, dst, Rect{0, 0, 16, 16}, 0));
    EXPECT_EQ(dst.Row(3)[3], 0u);
    EXPECT_EQ(dst.Row(4)[4], src.Row(0)[0]);
    EXPECT_EQ(dst.Row(11)[11], src.Row(7)[7]);
    EXPECT_EQ(dst.Row(12)[12], 0u);
}

TEST_P(SurfaceTest, RectanglesAnywhereNeverReachOutside) {
    const Surface src = PatternSurface(16, 16, GetParam());
    Surface dst;
    ASSERT_TRUE(dst.Create(16, 16, GetParam()));
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

TEST_P(SurfaceTest, EmptyOrInvertedRectanglesCopyNothing) {
    const Surface src = PatternSurface(8, 8, GetParam());
    Surface dst;
    ASSERT_TRUE(dst.Create(8, 8, GetParam()));
    EXPECT_FALSE(src.CopyTo(Rect{4, 4, 2, 2}, dst, Rect{4, 4, 2, 2}, 0));
    EXPECT_FALSE(src.CopyTo(Rect{0, 0, 8, 8}, dst, Rect{8, 0, 16, 8}, 0));
    // Cut at the bottom by more than the source height leaves an inverted source: nothing.
    EXPECT_FALSE(src.CopyTo(Rect{0, 2, 8, 4}, dst, Rect{0, 10, 8, 12}, 0));
    Surface none;
    EXPECT_FALSE(src.CopyTo(Rect{0, 0, 8, 8}, none, Rect{0, 0, 8, 8}, 0));
    EXPECT_FALSE(none.CopyTo(Rect{0, 0, 8, 8}, dst, Rect{0, 0, 8, 8}, 0));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(dst.Row(y)[x], 0u);
        }
    }
}

TEST_P(SurfaceTest, KeyedCopySkipsKeyPixelsOnlyWhenAsked) {
    Surface src;
    ASSERT_TRUE(src.Create(4, 1, GetParam()));
    src.Fill(0xFF00FF);
    src.Row(0)[1] = 0x0001;
    src.SetSourceKey(0xFF00FF);
    Surface dst;
    ASSERT_TRUE(dst.Create(4, 1, GetParam()));
    dst.Fill(0x00FF00);
    const uint16_t green = static_cast<uint16_t>(dst.NativeColour(0x00FF00));
    ASSERT_TRUE(src.CopyTo(src.Bounds(), dst, dst.Bounds(), kCopyWait | src.BlitFlags()));
    EXPECT_EQ(dst.Row(0)[0], green);
    EXPECT_EQ(dst.Row(0)[1], 0x0001);
    ASSERT_TRUE(src.CopyTo(src.Bounds(), dst, dst.Bounds(), kCopyWait));
    EXPECT_EQ(dst.Row(0)[0], src.Row(0)[0]);
}

TEST_P(SurfaceTest, StretchSamplesNearestPixel) {
    const Surface src = PatternSurface(4, 2, GetParam());
    Surface dst;
    ASSERT_TRUE(dst.Create(8, 6, GetParam()));
    ASSERT_TRUE(src.CopyTo(src.Bounds(), dst, dst.Bounds(), 0));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(dst.Row(y)[x], src.Row(y * 2 / 6)[x / 2]) << x << "," << y;
        }
    }
    // Shrinking takes every other pixel.
    Surface small;
    ASSERT_TRUE(small.Create(2, 1, GetParam()));
    ASSERT_TRUE(src.CopyTo(Rect{0, 0, 4, 2}, small, Rect{0, 0, 2, 1}, 0));
    EXPECT_EQ(small.Row(0)[1], src.Row(0)[2]);
}

TEST_P(SurfaceTest, CopyWithinOneSurfaceReadsBeforeWriting) {
    Surface s = PatternSurface(10, 1, GetParam());
    const Surface before = PatternSurface(10, 1, GetParam());
    ASSERT_TRUE(s.CopyTo(Rect{0, 0, 8, 1}, s, Rect{2, 0, 10, 1}, 0));
    for (int x = 2; x < 10; ++x) {
        EXPECT_EQ(s.Row(0)[x], before.Row(0)[x - 2]);
    }
}

TEST_P(SurfaceTest, CopyScaledUsesTruncatedRatio) {
    const Surface src = PatternSurface(3, 3, GetParam());
    Surface dst;
    ASSERT_TRUE(dst.Create(7, 2, GetParam()));
    ASSERT_TRUE(dst.CopyScaled(src));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 7; ++x) {
            ASSERT_EQ(dst.Row(y)[x],
                      src.Row(static_cast<int>(y * (3.0 / 2)))[static_cast<int>(x * (3.0 / 7))]);
        }
    }
    Surface none;
    EXPECT_FALSE(dst.CopyScaled(none));
}

TEST_P(SurfaceTest, MoveHandsTheBufferOver) {
    Surface a = PatternSurface(3, 3, GetParam());
    a.SetSourceKey(0);
    Surface b(std::move(a));
    EXPECT_FALSE(a.IsLoaded());  // NOLINT(bugprone-use-after-move): moved-from state is defined.
    EXPECT_TRUE(b.IsLoaded());
    EXPECT_EQ(b.BlitFlags(), kCopyKeySource);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, SurfaceTest, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

}  // namespace
}  // namespace talu::stage
