#include "interp/text_renderer.h"
#include "support/repeat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace talu::interp {
namespace {

const std::string kA = "\x82\xA0";  // あ
constexpr uint32_t kKey = 0xFF00FF;

using test::Repeat;

class TwoPasses : public ::testing::TestWithParam<stage::PixelFormat> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(layer.Create(640, 480, GetParam()));
        ASSERT_TRUE(composed.Create(640, 480, GetParam()));
        layer.Fill(kKey);
        composed.Fill(0x204060);
    }

    stage::Surface layer;
    stage::Surface composed;
    TextLayout layout;
};

TEST_P(TwoPasses, BothTargetsGetTheSameCharactersAndThePenEndsAfterTheText) {
    std::string remainder = "stale";
    std::vector<stage::Rect> rects;
    ASSERT_TRUE(PlaceRun(layout, TypingTargets{layer, composed}, Repeat(kA, 3), remainder, rects));
    EXPECT_TRUE(remainder.empty());
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(layout.penX, 20 + 3 * 27);
    EXPECT_EQ(layout.penY, 20);
    const uint16_t white = static_cast<uint16_t>(layer.NativeColour(0xFFFFFF));
    int onLayer = 0;
    int onComposed = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool a = layer.Row(y)[x] == white;
            const bool b = composed.Row(y)[x] == white;
            EXPECT_EQ(a, b) << x << "," << y;
            onLayer += a;
            onComposed += b;
        }
    }
    EXPECT_GT(onLayer, 0);
    EXPECT_EQ(onLayer, onComposed);
}

TEST_P(TwoPasses, AFullPageLeavesTheRestStartingWithTheFirstCharacterThatDidNotFit) {
    // 20 characters per line (20 + 20 x 27 = 560, 560 + 27 > 580), 14 lines (y 20 .. 410).
    std::string remainder;
    std::vector<stage::Rect> rects;
    EXPECT_FALSE(
        PlaceRun(layout, TypingTargets{layer, composed}, Repeat(kA, 300), remainder, rects));
    EXPECT_EQ(rects.size(), 280u);
    EXPECT_EQ(remainder, Repeat(kA, 20));
    EXPECT_EQ(layout.penY, 410);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, TwoPasses,
                         ::testing::Values(stage::PixelFormat::Rgb565(),
                                           stage::PixelFormat::Rgb555()));

class Reveal : public ::testing::Test {
  protected:
    Reveal() {
        options.clock = &clock;
        options.click = &click;
        options.present = [this](const stage::Rect& r) { shown.push_back(r); };
    }

    std::vector<stage::Rect> Rects(int n) {
        std::vector<stage::Rect> out;
        for (int i = 0; i < n; ++i) {
            out.push_back(stage::Rect{20 + 27 * i, 20, 47 + 27 * i, 49});
        }
        return out;
    }

    host::VirtualClock clock;
    std::atomic<int> click{0};
    RevealOptions options;
    std::vector<stage::Rect> shown;
};

TEST_F(Reveal, EveryCharacterButTheFirstWaitsHalfTheTextWait) {
    RevealRun(Rects(4), TextSettings{50, 1}, options);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{25, 25, 25}));
    EXPECT_EQ(shown, Rects(4));
    clock.ClearSleeps();
    RevealRun(Rects(3), TextSettings{35, 1}, options);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{17, 17}));
}

TEST_F(Reveal, AClickShowsTheRestAtOnce) {
    clock.SetSleepHook([this](int) { click.store(1); });
    RevealRun(Rects(5), TextSettings{50, 1}, options);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{25}));
    EXPECT_EQ(shown.size(), 5u);
}

TEST_F(Reveal, WithoutTheEffectTheUnionIsPresentedOnce) {
    RevealRun(Rects(3), TextSettings{50, 0}, options);
    EXPECT_TRUE(clock.Sleeps().empty());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (stage::Rect{20, 20, 101, 49}));
}

TEST_F(Reveal, NothingToShowPresentsNothing) {
    RevealRun({}, TextSettings{}, options);
    EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace talu::interp
