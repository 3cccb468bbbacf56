#include "interp/text_placement.h"
#include "interp/text_renderer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "host/encoding.h"
#include "interp/interp_test_support.h"
#include "interp/kinsoku.h"
#include "support/repeat.h"

namespace talu::interp {
namespace {

const std::string kI = "\x82\xA2";       // い
const std::string kMaru = "\x81\x42";    // 。
const std::string kHyphen = "\x81\x5D";  // ‐ (trail byte "]")
constexpr uint32_t kKey = 0xFF00FF;

using test::kA;
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

    int Count(const stage::Rect& r, uint32_t colour) { return test::CountColour(layer, r, colour); }

    TextLayout layout;
    stage::Surface layer;
    std::string remainder;
    std::vector<stage::Rect> rects;
};

// The typing pass draws on the text layer and on the composed stage alike.
TEST_P(Placement, ATypedRunReachesBothTargets) {
    stage::Surface composed;
    ASSERT_TRUE(composed.Create(640, 480, GetParam()));
    composed.Fill(0x204060);
    remainder = "stale";
    ASSERT_TRUE(PlaceRun(layout, TypingTargets{layer, composed}, Repeat(kA, 3), remainder, rects));
    EXPECT_TRUE(remainder.empty());
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(test::Pen(layout), (PenPoint{20 + 3 * 27, 20}));
    const uint16_t white = static_cast<uint16_t>(layer.NativeColour(0xFFFFFF));
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(layer.Row(y)[x] == white, composed.Row(y)[x] == white) << x << "," << y;
        }
    }
    EXPECT_GT(Count(rects[0], 0xFFFFFF), 0);
}

TEST_P(Placement, PageFullReturnsTheRestFromTheFirstUndrawnCharacter) {
    std::string text = Repeat(kA, 279) + kI + Repeat(kA, 20);  // 300 characters
    EXPECT_FALSE(PlaceText(layout, layer, text, remainder, &rects));
    EXPECT_EQ(rects.size(), 280u);  // 14 lines of 20
    EXPECT_EQ(remainder, Repeat(kA, 20));
    EXPECT_EQ(rects.back(), (stage::Rect{533, 410, 562, 439}));
    EXPECT_EQ(test::Pen(layout), (PenPoint{20, 410}));  // the failed break went to the line start
    // The second pass from the same pen draws the same and gives the same rest.
    TextLayout again;
    std::string rest;
    EXPECT_FALSE(PlaceText(again, layer, text, rest, nullptr));
    EXPECT_EQ(rest, remainder);
    EXPECT_EQ(test::Pen(again), test::Pen(layout));
}

TEST_P(Placement, AtTheMarginOnlyWholeKinsokuCharactersHang) {
    struct Case {
        int x;
        std::string text;
        PenPoint corner;  // where the first character goes
    };
    // Less than a cell left breaks even before a half-width character; 553 + 27 = 580 is not
    // beyond the edge. The trail byte of ‐ is "]", yet only a real "]" hangs.
    const Case cases[] = {{560, "A", {20, 50}},
                          {553, "A", {553, 20}},
                          {560, kMaru, {560, 20}},
                          {560, kHyphen, {20, 50}},
                          {560, "]", {560, 20}}};
    for (const Case& c : cases) {
        TextLayout at;
        at.penX = c.x;
        rects.clear();
        ASSERT_TRUE(PlaceText(at, layer, c.text, remainder, &rects));
        EXPECT_EQ((PenPoint{rects[0].left, rects[0].top}), c.corner) << c.x << " " << c.text;
    }
}

TEST_P(Placement, KinsokuHangsPastTheMarginAndBreaksAfterIt) {
    layout.penX = 560;
    ASSERT_TRUE(PlaceText(layout, layer, kMaru, remainder, &rects));
    EXPECT_EQ(test::Pen(layout), (PenPoint{20, 50}));
    EXPECT_EQ(layout.wrapped, 1);
    EXPECT_TRUE(layout.LineBreak());  // a following BR adds no empty line
    EXPECT_EQ(layout.penY, 50);
    ASSERT_TRUE(PlaceText(layout, layer, kA, remainder, &rects));
    EXPECT_EQ(layout.wrapped, 0);
    EXPECT_EQ((PenPoint{rects[1].left, rects[1].top}), (PenPoint{20, 50}));
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

TEST_P(Placement, DrawsTextOverAShadowInsideItsRectangleOrWithoutItInTheSameRectangle) {
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

    layout.shadow = 0;
    layout.penX = 20;
    layout.penY = 100;
    ASSERT_TRUE(PlaceText(layout, layer, kA, remainder, &rects));
    EXPECT_EQ(rects.back(), (stage::Rect{20, 100, 49, 129}));
    EXPECT_EQ(Count(rects.back(), 0), 0);
    EXPECT_GT(Count(rects.back(), 0x00FFFF), 10);
}

TEST_P(Placement, WithoutTargetOrFontTheLayoutGoesOnAndNothingIsDrawn) {
    stage::Surface none;
    const std::string text = Repeat(kA, 30);
    ASSERT_TRUE(PlaceText(layout, none, text, remainder, &rects));
    TextLayout drawn;
    std::string rest;
    ASSERT_TRUE(PlaceText(drawn, layer, text, rest, nullptr));
    EXPECT_EQ(test::Pen(layout), test::Pen(drawn));

    layer.Fill(kKey);
    layout.font.reset();
    rects.clear();
    ASSERT_TRUE(PlaceText(layout, layer, kA + kA, remainder, &rects));
    EXPECT_EQ(Count(stage::Rect{0, 0, 640, 480}, kKey), 640 * 480);
    EXPECT_EQ(rects.size(), 2u);
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

INSTANTIATE_TEST_SUITE_P(BothFormats, Placement, test::BothFormats());

TEST(Kinsoku, EveryListedCharacterMayNotBeginALine) {
    // The set as written down, in UTF-8; each must be recognised in its CP932 form.
    const char* listed[] = {"。", "、", "，", "．", ",",  ".", "､", "｡", "」", "』", "】", "〉",
                            "》", "］", "｝", "〕", "）", "]", "}", ")", "｣",  "；", "：", "？",
                            "！", "”",  "’",  "゜", "゛", "ﾞ", "ﾟ", ":", ";",  "?",  "!",  "\""};
    for (const char* utf8 : listed) {
        std::optional<std::string> cp932 = host::Utf8ToCp932Exact(utf8);
        ASSERT_TRUE(cp932.has_value()) << utf8;
        EXPECT_TRUE(IsKinsoku(*cp932)) << utf8;
    }
    for (const char* utf8 : {"あ", "「", "（", "A", "-", "ー", "・", "'", "ｱ"}) {
        EXPECT_FALSE(IsKinsoku(host::Utf8ToCp932(utf8))) << utf8;
    }
    // ‐ and ア have the trail bytes "]" and "A"; then a lead byte alone, two characters, nothing.
    for (const char* cp932 : {"\x81\x5D", "\x83\x41", "\x81", "\x81\x42\x81\x42", ""}) {
        EXPECT_FALSE(IsKinsoku(cp932)) << host::Cp932ToUtf8(cp932);
    }
}

TEST(PositionValueRule, EachFormOfTheValue) {
    EXPECT_EQ(PositionValue(std::nullopt, 20, 580, 77), 77);
    const std::pair<const char*, int> cases[] = {
        {"", 77}, {"+30", 107}, {"-7", 70}, {"50%", 300}, {"150%", 580}, {"40", 60}, {"abc", 20}};
    for (const auto& [value, position] : cases) {
        EXPECT_EQ(PositionValue(value, 20, 580, 77), position) << value;
    }
    EXPECT_EQ(PositionValue("+99999999999", 0, 0, INT_MAX), INT_MAX);
    EXPECT_EQ(PositionValue("100%", INT_MIN, INT_MAX, 0), INT_MAX);
}

}  // namespace
}  // namespace talu::interp
