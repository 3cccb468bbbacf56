#include <gtest/gtest.h>

#include "pixel_test_support.h"
#include "stage/colour_filter.h"

namespace talu::stage {
namespace {

constexpr uint32_t kNone = 0x1000000;
constexpr uint32_t kMono = 0x1000001;
constexpr uint32_t kInverse = 0x1000002;
constexpr uint32_t kSepia = 0x1000003;

class FilterTest : public ::testing::TestWithParam<PixelFormat> {
  protected:
    // One pixel with the given fields, filtered.
    uint16_t Filtered(uint32_t r, uint32_t g, uint32_t b, uint32_t filter) const {
        const PixelFormat f = GetParam();
        Surface s;
        EXPECT_TRUE(s.Create(1, 1, f));
        s.Row(0)[0] =
            static_cast<uint16_t>(r << f.red.shift | g << f.green.shift | b << f.blue.shift);
        EXPECT_TRUE(ApplyFilter(s, filter));
        return s.Row(0)[0];
    }
    uint32_t R(uint16_t p) const { return (p & GetParam().red.mask) >> GetParam().red.shift; }
    uint32_t G(uint16_t p) const { return (p & GetParam().green.mask) >> GetParam().green.shift; }
    uint32_t B(uint16_t p) const { return (p & GetParam().blue.mask) >> GetParam().blue.shift; }
    bool Is565() const { return GetParam().green.max == 63; }
};

TEST(FilterEdgeTest, NightOnWhite565) {
    Surface s;
    ASSERT_TRUE(s.Create(1, 1, PixelFormat::Rgb565()));
    s.Fill(0xFFFFFF);
    ASSERT_TRUE(ApplyFilter(s, 0x424242));
    EXPECT_EQ(s.Row(0)[0], (15 << 11) | (32 << 5) | 15);
}

TEST(FilterEdgeTest, SepiaOnWhite565) {
    Surface s;
    ASSERT_TRUE(s.Create(1, 1, PixelFormat::Rgb565()));
    s.Fill(0xFFFFFF);
    ASSERT_TRUE(ApplyFilter(s, kSepia));
    EXPECT_EQ(s.Row(0)[0], (31 << 11) | (62 << 5) | 18);
}

TEST_P(FilterTest, MonoAveragesFiveBitChannels) {
    const uint32_t gmax = GetParam().green.max;
    // red 30, green 5-bit 10, blue 2: gray (30 + 10 + 2) / 3 = 14.
    const uint16_t p = Filtered(30, Is565() ? 21 : 10, 2, kMono);
    EXPECT_EQ(R(p), 14u);
    EXPECT_EQ(G(p), gmax == 63 ? 28u : 14u);
    EXPECT_EQ(B(p), 14u);
    const uint16_t s = Filtered(30, Is565() ? 21 : 10, 2, kSepia);
    EXPECT_EQ(B(s), 8u);  // trunc(14 x 0.6)
}

TEST_P(FilterTest, InverseFlipsEveryChannelBit) {
    const uint16_t p = Filtered(1, 2, 3, kInverse);
    EXPECT_EQ(R(p), 30u);
    EXPECT_EQ(G(p), GetParam().green.max - 2u);
    EXPECT_EQ(B(p), 28u);
}

TEST_P(FilterTest, TintKeepsAt128DarkensBelowAndSaturatesAbove) {
    const uint32_t gmax = GetParam().green.max;
    const uint16_t keep = Filtered(20, 20, 20, 0x808080);
    EXPECT_EQ(R(keep), 20u);
    EXPECT_EQ(G(keep), 20u);
    const uint16_t mixed = Filtered(20, 20, 20, 0x00FF40);  // red 64, green 255, blue 0
    EXPECT_EQ(R(mixed), 10u);
    EXPECT_EQ(G(mixed), Is565() ? 39u : 31u);  // 5-bit 20 x 2 saturates
    EXPECT_EQ(B(mixed), 0u);
    const uint16_t full = Filtered(31, gmax, 31, 0xFFFFFF);
    EXPECT_EQ(R(full), 31u);
    EXPECT_EQ(G(full), gmax);
    EXPECT_EQ(B(full), 31u);
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
    EXPECT_EQ(FilterTagText(kMono), "<SUNGLASS COLOR=\"MONO\">");
    EXPECT_EQ(FilterTagText(kInverse), "<SUNGLASS COLOR=\"INVERSE\">");
    EXPECT_EQ(FilterTagText(kSepia), "<SUNGLASS COLOR=\"SEPIA\">");
    EXPECT_EQ(FilterTagText(0xC8C8C8), "<SUNGLASS COLOR=\"#C8C8C8\">");
    // Red is the low byte and is written first.
    EXPECT_EQ(FilterTagText(0x50507E), "<SUNGLASS COLOR=\"#7E5050\">");
    EXPECT_EQ(FilterTagText(0x00000A), "<SUNGLASS COLOR=\"#0A0000\">");
    EXPECT_EQ(FilterTagText(kNone), "");
    EXPECT_EQ(FilterTagText(0x2000000), "");
}

INSTANTIATE_TEST_SUITE_P(BothFormats, FilterTest, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

}  // namespace
}  // namespace talu::stage
