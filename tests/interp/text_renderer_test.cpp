#include "interp/text_renderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/interp_test_support.h"
#include "support/repeat.h"

namespace talu::interp {
namespace {

class TwoPasses : public ::testing::TestWithParam<stage::PixelFormat> {};

TEST_P(TwoPasses, BothTargetsGetTheSameCharactersAndThePenEndsAfterTheText) {
    stage::Surface layer;
    stage::Surface composed;
    ASSERT_TRUE(layer.Create(640, 480, GetParam()));
    ASSERT_TRUE(composed.Create(640, 480, GetParam()));
    layer.Fill(0xFF00FF);
    composed.Fill(0x204060);
    TextLayout layout;
    std::string remainder = "stale";
    std::vector<stage::Rect> rects;
    ASSERT_TRUE(PlaceRun(layout, TypingTargets{layer, composed}, test::Repeat(test::kA, 3),
                         remainder, rects));
    EXPECT_TRUE(remainder.empty());
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(test::Pen(layout), (PenPoint{20 + 3 * 27, 20}));
    const uint16_t white = static_cast<uint16_t>(layer.NativeColour(0xFFFFFF));
    int onLayer = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool a = layer.Row(y)[x] == white;
            ASSERT_EQ(a, composed.Row(y)[x] == white) << x << "," << y;
            onLayer += a;
        }
    }
    EXPECT_GT(onLayer, 0);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, TwoPasses, test::BothFormats());

}  // namespace
}  // namespace talu::interp
