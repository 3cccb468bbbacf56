#include "interp/text_placement.h"
#include "support/repeat.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace talu::interp {
namespace {

const std::string kA = "\x82\xA0";       // あ
const std::string kI = "\x82\xA2";       // い
const std::string kMaru = "\x81\x42";    // 。
const std::string kHyphen = "\x81\x5D";  // ‐ (trail byte "]")
constexpr uint32_t kKey = 0xFF00FF;

using test::Repeat;

class Placement : public ::testing::TestWithParam<stage::PixelFormat> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(layer.Create(640, 480, GetParam()));
        layer.Fill(kKey);
    }

    // Number of pixels outside rect that no longer hold the key colour.
    int ChangedOutside(const std::vector<stage::Rect>& rects) {
        const uint32_t key = layer.NativeColour(kKey);
        int changed = 0;
        for (int y = 0; y < layer.Height(); ++y) {
            for (int x = 0; x < layer.Width(); ++x) {
                bool inside = false;
                for (const stage::Rect& r : rects) {
                    inside = inside || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
                }
                changed += !inside && layer.Row(y)[x] != key;
            }
        }
        return changed;
    }

    int Count(const stage::Rect& r, uint32_t colour) {
        const uint32_t value = layer.NativeColour(colour);
        int n = 0;
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, layer.Height()); ++y) {
            for (int x = std::max(r.left, 0); x < std::min(r.right, layer.Width()); ++x) {
                n += layer.Row(y)[x] == value;
            }
        }
        return n;
    }

    TextLayout layout;
    stage::Surface layer;
    std::string remainder;
    std::vector<stage::Rect> rects;
};

TEST_P(Placement, FullWidthRunFillsLinesOfTwenty) {
    ASSERT_TRUE(PlaceText(layout, layer, Repeat(kA, 21), remainder, &rects));
    EXPECT_TRUE(remainder.empty());
    ASSERT_EQ(rects.size(), 21u);
    EXPECT_EQ(rects[0], (stage::Rect{20, 20, 49, 49}));  // cell 27 plus the shadow's 2
    EXPECT_EQ(rects[19].left, 20 + 19 * 27);             // 533 + 27 = 560 still fits
    EXPECT_EQ(rects[20].left, 20);                       // 560 + 27 > 580: next line
    EXPECT_EQ(rects[20].top, 50);
    EXPECT_EQ(layout.penX, 47);
    EXPECT_EQ(layout.penY, 50);
}

TEST_P(Placement, PageFullReturnsTheRestFromTheFirstUndrawnCharacter) {
    std::string text = Repeat(kA, 279) + kI + Repeat(kA, 20);  // 300 characters
    EXPECT_FALSE(PlaceText(layout, layer, text, remainder, &rects));
    EXPECT_EQ(rects.size(), 280u);  // 14 lines of 20
    EXPECT_EQ(remainder, Repeat(kA, 20));
    EXPECT_EQ(rects.back(), (stage::Rect{533, 410, 562, 439}));
    EXPECT_EQ(layout.penY, 410);
    // The second pass from the same pen draws the same and gives the same rest.
    TextLayout again;
    std::string rest;
    EXPECT_FALSE(PlaceText(again, layer, text, rest, nullptr));
    EXPECT_EQ(rest, remainder);
    EXPECT_EQ(again.penX, layout.penX);
    EXPECT_EQ(again.penY, layout.penY);
}

TEST_P(Placement, HalfWidthCharacterAlsoBreaksWithLessThanACellLeft) {
    layout.penX = 560;
    layout.penY = 20;
    ASSERT_TRUE(PlaceText(layout, layer, "A", remainder, &rects));
    EXPECT_EQ(rects[0].left, 20);
    EXPECT_EQ(rects[0].top, 50);
    layout.penX = 553;
    ASSERT_TRUE(PlaceText(layout, layer, "A", remainder, &rects));
    EXPECT_EQ(rects[1].left, 553);  // 553 + 27 = 580: not beyond the edge
}

TEST_P(Placement, KinsokuHangsPastTheMarginAndBreaksAfterIt) {
    layout.penX = 560;
    layout.penY = 20;
    ASSERT_TRUE(PlaceText(layout, layer, kMaru, remainder, &rects));
    EXPECT_EQ(rects[0].left, 560);
    EXPECT_EQ(rects[0].top, 20);
    EXPECT_EQ(layout.penX, 20);
    EXPECT_EQ(layout.penY, 50);
    EXPECT_EQ(layout.wrapped, 1);
    EXPECT_TRUE(layout.LineBreak());  // a following BR adds no empty line
    EXPECT_EQ(layout.penY, 50);
    ASSERT_TRUE(PlaceText(layout, layer, kA, remainder, &rects));
    EXPECT_EQ(layout.wrapped, 0);
    EXPECT_EQ(rects[1].left, 20);
    EXPECT_EQ(rects[1].top, 50);
}

TEST_P(Placement, KinsokuComparesWholeCharacters) {
    layout.penX = 560;
    ASSERT_TRUE(PlaceText(layout, layer, kHyphen + "]", remainder, &rects));
    EXPECT_EQ(rects[0].left, 20);  // ‐ breaks first although its trail byte is "]"
    EXPECT_EQ(rects[0].top, 50);
    layout.penX = 560;
    ASSERT_TRUE(PlaceText(layout, layer, "]", remainder, &rects));
    EXPECT_EQ(rects[2].left, 560);  // a real "]" hangs
}

TEST_P(Placement, HangingOnTheLastLineEndsTheRunWithTheCharacterConsumed) {
    layout.penX = 560;
    layout.penY = 410;
    EXPECT_FALSE(PlaceText(layout, layer, kMaru + kA, remainder, &rects));
    EXPECT_EQ(remainder, kA);  // 。 was drawn and is not repeated on the next page
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].left, 560);
    EXPECT_GT(Count(rects[0], layout.colour), 0);
    // The last character of a run hanging there leaves nothing over.
    layout.penX = 560;
    EXPECT_FALSE(PlaceText(layout, layer, kMaru, remainder, &rects));
    EXPECT_TRUE(remainder.empty());
}

TEST_P(Placement, DrawsTextOverAShadowInsideItsRectangle) {
    layout.colour = 0x00FFFF;  // yellow
    ASSERT_TRUE(PlaceText(layout, layer, kA + kI + "Ab", remainder, &rects));
    EXPECT_EQ(ChangedOutside(rects), 0);
    for (const stage::Rect& r : rects) {
        EXPECT_GT(Count(r, 0x00FFFF), 10);
        EXPECT_GT(Count(r, 0x000000), 5);
    }
    // Only the two colours were written: 1-bit text leaves no in-between pixels.
    const stage::Rect all{0, 0, 640, 480};
    EXPECT_EQ(Count(all, 0x00FFFF) + Count(all, 0) + Count(all, kKey), 640 * 480);
}

TEST_P(Placement, WithoutShadowNoBlackAndTheSameRectangle) {
    layout.shadow = 0;
    ASSERT_TRUE(PlaceText(layout, layer, kA, remainder, &rects));
    EXPECT_EQ(rects[0], (stage::Rect{20, 20, 49, 49}));
    EXPECT_EQ(Count(rects[0], 0), 0);
    EXPECT_GT(Count(rects[0], 0xFFFFFF), 10);
}

TEST_P(Placement, IndentMakesFollowingLinesStartUnderTheNextCharacter) {
    ASSERT_TRUE(PlaceText(layout, layer, kA + kA, remainder, &rects));
    layout.OpenIndent();  // pen at 74: the third character's place
    ASSERT_TRUE(PlaceText(layout, layer, Repeat(kI, 19), remainder, &rects));
    EXPECT_EQ(rects.back().left, 74);
    EXPECT_EQ(rects.back().top, 50);
}

TEST_P(Placement, UnloadedTargetLaysOutWithoutDrawing) {
    stage::Surface none;
    std::string text = Repeat(kA, 30);
    ASSERT_TRUE(PlaceText(layout, none, text, remainder, &rects));
    TextLayout drawn;
    std::string rest;
    ASSERT_TRUE(PlaceText(drawn, layer, text, rest, nullptr));
    EXPECT_EQ(layout.penX, drawn.penX);
    EXPECT_EQ(layout.penY, drawn.penY);
}

TEST_P(Placement, CutDoubleByteCharacterAtTheEndIsOneByte) {
    ASSERT_TRUE(PlaceText(layout, layer, kA + "\x82", remainder, &rects));
    EXPECT_EQ(rects.size(), 2u);
    EXPECT_EQ(ChangedOutside(rects), 0);
}

TEST_P(Placement, WindowsPastTheStageAndHugeFontsStayInBounds) {
    layout.window = stage::Rect{600, 450, INT_MAX, INT_MAX};
    layout.penX = INT_MAX - 5;
    layout.penY = 470;
    layout.height = 300;
    layout.skip = INT_MAX;
    layout.RecreateFont();
    EXPECT_FALSE(PlaceText(layout, layer, Repeat(kA, 3), remainder, &rects));
    EXPECT_EQ(ChangedOutside(rects), 0);
}

TEST_P(Placement, MissingFontPlacesNothingVisible) {
    layout.font.reset();
    ASSERT_TRUE(PlaceText(layout, layer, kA + kA, remainder, &rects));
    const stage::Rect all{0, 0, 640, 480};
    EXPECT_EQ(Count(all, kKey), 640 * 480);
    EXPECT_EQ(rects.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Placement,
                         ::testing::Values(stage::PixelFormat::Rgb565(),
                                           stage::PixelFormat::Rgb555()),
                         [](const auto& info) {
                             return info.param == stage::PixelFormat::Rgb565() ? "Rgb565"
                                                                               : "Rgb555";
                         });

}  // namespace
}  // namespace talu::interp
