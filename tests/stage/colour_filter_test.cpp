#include "stage/colour_filter.h"

#include <gtest/gtest.h>

#include <array>

#include "pixel_test_support.h"

namespace talu::stage {
namespace {

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
