#include "stage/surface_blend.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "pixel_test_support.h"
#include "stage/colour_filter.h"

namespace talu::stage {
namespace {

using testing::PatternSurface;
using testing::Solid;

class BlendTest : public ::testing::TestWithParam<PixelFormat> {
  protected:
    // A channel-wise reference: combine each masked channel with fn and mask it again.
    template <typename Fn>
    uint16_t PerChannel(uint32_t a, uint32_t b, Fn fn) const {
        const PixelFormat f = GetParam();
        uint32_t out = 0;
        for (uint32_t m : {f.red.mask, f.green.mask, f.blue.mask}) {
            out |= fn(a & m, b & m) & m;
        }
        return static_cast<uint16_t>(out);
    }
};

TEST(PercentWeightTest, TruncatesAndClamps) {
    const std::pair<int, int> cases[] = {{100, 32}, {150, 32}, {-5, 0}, {50, 16},
                                         {3, 0},    {99, 31},  {4, 1}};
    for (const auto& [percent, weight] : cases) {
        EXPECT_EQ(PercentWeight(percent), weight) << percent;
    }
}

TEST_P(BlendTest, BrightnessScalesOnlyTheRectangle) {
    Surface s = Solid(4, 4, GetParam(), 0xFFFFFF);
    const uint16_t white = static_cast<uint16_t>(s.NativeColour(0xFFFFFF));
    Brightness(s, Rect{1, 1, 3, 10}, 50);
    const uint16_t half = PerChannel(white, 0, [](uint32_t p, uint32_t) { return p * 16 >> 5; });
    EXPECT_EQ(s.Row(0)[0], white);
    EXPECT_EQ(s.Row(1)[1], half);
    EXPECT_EQ(s.Row(3)[2], half);
    EXPECT_EQ(s.Row(3)[3], white);
    // A 6-bit white green of 63 halves to 31, a 5-bit one of 31 to 15.
    EXPECT_EQ(testing::Field(half, GetParam().green), GetParam().green.max == 63 ? 31u : 15u);

    s = PatternSurface(7, 3, GetParam());
    Brightness(s, std::nullopt, 100);
    EXPECT_TRUE(testing::SameRect(s, PatternSurface(7, 3, GetParam()), s.Bounds()));
    Brightness(s, std::nullopt, 2);
    EXPECT_TRUE(testing::SameRect(s, Solid(7, 3, GetParam()), s.Bounds()));
    Surface none;
    Brightness(none, std::nullopt, 50);
    EXPECT_FALSE(none.IsLoaded());
}

TEST_P(BlendTest, MaskBlendWeighsEveryPixelByItsByteAndClips) {
    const Surface src = PatternSurface(4, 2, GetParam(), 3);
    Surface dst = PatternSurface(6, 4, GetParam(), 9);
    const Surface before = PatternSurface(6, 4, GetParam(), 9);
    const std::vector<uint8_t> mask = {0, 64, 128, 255, 255, 200, 1, 0};
    ASSERT_TRUE(MaskBlend(dst, src, {mask.data(), mask.size(), Rect{0, 0, 4, 2}, 1, 2}));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const uint32_t a = mask[y * 4 + x];
            const uint16_t want =
                PerChannel(before.Row(y + 2)[x + 1], src.Row(y)[x],
                           [a](uint32_t t, uint32_t s) { return (t * (256 - a) + s * a) >> 8; });
            EXPECT_EQ(dst.Row(y + 2)[x + 1], want) << x << "," << y;
        }
    }
    EXPECT_EQ(dst.Row(0)[0], before.Row(0)[0]);

    // Clipped to the target; a mask shorter than the source leaves the rest alone.
    const std::vector<uint8_t> shortMask(6, 255);  // the first row and a half
    Surface black = Solid(4, 4, GetParam());
    const Surface big = PatternSurface(4, 4, GetParam(), 3);
    ASSERT_TRUE(MaskBlend(black, big, {shortMask.data(), 6, Rect{0, 0, 4, 4}, -1, -1}));
    EXPECT_NE(black.Row(0)[0], 0);  // source (1,1), mask byte 5: full weight
    EXPECT_EQ(black.Row(1)[0], 0);  // source row 2 has no mask bytes
    EXPECT_FALSE(MaskBlend(black, big, {nullptr, 0, Rect{0, 0, 4, 4}, 0, 0}));
    EXPECT_FALSE(MaskBlend(black, big, {shortMask.data(), 6, Rect{0, 0, 4, 4}, 4, 0}));
}

TEST_P(BlendTest, TranslucentCopyMixesByWeightSkipsKeyAndClips) {
    Surface src = PatternSurface(3, 1, GetParam(), 5);
    src.SetSourceKey(0xFF00FF);
    src.Row(0)[1] = static_cast<uint16_t>(src.NativeColour(0xFF00FF));
    Surface dst = PatternSurface(3, 1, GetParam(), 11);
    const Surface before = PatternSurface(3, 1, GetParam(), 11);
    ASSERT_TRUE(TranslucentCopy(src, src.Bounds(), dst, dst.Bounds(), 60));
    // k = trunc(60 x 0.01 x 32) = 19.
    auto mix = [](uint32_t s, uint32_t t) { return (s * 19 + t * (32 - 19)) >> 5; };
    EXPECT_EQ(dst.Row(0)[0], PerChannel(src.Row(0)[0], before.Row(0)[0], mix));
    EXPECT_EQ(dst.Row(0)[1], before.Row(0)[1]);
    EXPECT_EQ(dst.Row(0)[2], PerChannel(src.Row(0)[2], before.Row(0)[2], mix));

    const Surface big = PatternSurface(5, 5, GetParam());
    Surface small = Solid(3, 3, GetParam());
    ASSERT_TRUE(TranslucentCopy(big, Rect{-2, -2, 5, 5}, small, Rect{-1, 0, 6, 7}, 100));
    // Target (0,0) pairs with source (-1,-2): outside; target (1,2) with source (0,0).
    EXPECT_EQ(small.Row(0)[0], 0);
    EXPECT_EQ(small.Row(2)[1], big.Row(0)[0]);
    EXPECT_FALSE(TranslucentCopy(big, Rect{0, 0, 5, 5}, small, Rect{3, 3, 8, 8}, 50));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, BlendTest, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

using testing::Field;

constexpr uint32_t kNone = 0x1000000;
constexpr uint32_t kMono = 0x1000001;
constexpr uint32_t kInverse = 0x1000002;
constexpr uint32_t kSepia = 0x1000003;

class FilterTest : public ::testing::TestWithParam<PixelFormat> {
  protected:
    // The fields (red, green, blue) of one pixel with the given fields, filtered.
    std::array<uint32_t, 3> Filtered(uint32_t r, uint32_t g, uint32_t b, uint32_t filter) const {
        const PixelFormat f = GetParam();
        Surface s = testing::Solid(1, 1, f);
        s.Row(0)[0] =
            static_cast<uint16_t>(r << f.red.shift | g << f.green.shift | b << f.blue.shift);
        EXPECT_TRUE(ApplyFilter(s, filter));
        const uint16_t p = s.Row(0)[0];
        return {Field(p, f.red), Field(p, f.green), Field(p, f.blue)};
    }
};

TEST(FilterEdgeTest, NightAndSepiaOnWhite565) {
    for (const auto& [filter, want] : {std::pair{0x424242u, (15 << 11) | (32 << 5) | 15},
                                       std::pair{kSepia, (31 << 11) | (62 << 5) | 18}}) {
        Surface s = testing::Solid(1, 1, PixelFormat::Rgb565(), 0xFFFFFF);
        ASSERT_TRUE(ApplyFilter(s, filter));
        EXPECT_EQ(s.Row(0)[0], want) << std::hex << filter;
    }
}

TEST_P(FilterTest, MonoSepiaInverseAndTintPerChannel) {
    using Fields = std::array<uint32_t, 3>;
    const uint32_t gmax = GetParam().green.max;
    // Mono averages 5-bit channels (a 6-bit 21 counts as 10): (30 + 10 + 2) / 3 = 14; sepia's
    // blue is trunc(14 x 0.6).
    const uint32_t green10 = gmax == 63 ? 21 : 10;
    EXPECT_EQ(Filtered(30, green10, 2, kMono), (Fields{14, gmax == 63 ? 28u : 14u, 14}));
    EXPECT_EQ(Filtered(30, green10, 2, kSepia)[2], 8u);
    EXPECT_EQ(Filtered(1, 2, 3, kInverse), (Fields{30, gmax - 2, 28}));
    // A tint keeps a channel at 128, darkens below and saturates above.
    EXPECT_EQ(Filtered(20, 20, 20, 0x808080), (Fields{20, 20, 20}));
    // Red 64, green 255, blue 0: a 5-bit green of 20 doubles and saturates.
    EXPECT_EQ(Filtered(20, 20, 20, 0x00FF40), (Fields{10, gmax == 63 ? 39u : 31u, 0}));
    EXPECT_EQ(Filtered(31, gmax, 31, 0xFFFFFF), (Fields{31, gmax, 31}));
}

TEST_P(FilterTest, KeyPixelsStayAndNoFilterChangesNothing) {
    Surface s = testing::PatternSurface(4, 4, GetParam());
    s.Row(1)[1] = static_cast<uint16_t>(s.NativeColour(0xFF00FF));
    s.SetSourceKey(0xFF00FF);
    const uint16_t before = s.Row(0)[0];
    ASSERT_TRUE(ApplyFilter(s, kNone));
    ASSERT_TRUE(ApplyFilter(s, 0x1000007));
    EXPECT_EQ(s.Row(0)[0], before);
    ASSERT_TRUE(ApplyFilter(s, kInverse));
    EXPECT_EQ(s.Row(1)[1], s.NativeColour(0xFF00FF));
    EXPECT_NE(s.Row(0)[0], before);
    Surface none;
    EXPECT_FALSE(ApplyFilter(none, kMono));
}

TEST(FilterTagTextTest, Words) {
    const std::pair<uint32_t, const char*> cases[] = {
        {kMono, "MONO"},       {kInverse, "INVERSE"}, {kSepia, "SEPIA"}, {0xC8C8C8, "#C8C8C8"},
        {0x50507E, "#7E5050"}, {0x00000A, "#0A0000"},  // red is the low byte and is written first
    };
    for (const auto& [filter, word] : cases) {
        EXPECT_EQ(FilterTagText(filter), std::string("<SUNGLASS COLOR=\"") + word + "\">");
    }
    EXPECT_EQ(FilterTagText(kNone), "");
    EXPECT_EQ(FilterTagText(0x2000000), "");
}

INSTANTIATE_TEST_SUITE_P(BothFormats, FilterTest, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

}  // namespace
}  // namespace talu::stage
