#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "interp/font_stack.h"
#include "interp/text_layout.h"
#include "interp/text_placement.h"

namespace talu::interp {
namespace {

constexpr int kAttrSrc = 62;
constexpr int kAttrHeight = 70;
constexpr int kAttrSkip = 71;
constexpr int kAttrColor = 74;

TEST(LayoutWindow, NotGivenSizesStandFor600By440AndThePenGoesToTheCorner) {
    TextLayout layout;
    layout.SetWindow(0, 0, kNotGiven, kNotGiven);
    EXPECT_EQ(layout.window, (stage::Rect{0, 0, 600, 440}));
    EXPECT_EQ(layout.penX, 0);
    EXPECT_EQ(layout.penY, 0);
    layout.SetWindow(10, 300, 620, 170);
    EXPECT_EQ(layout.window, (stage::Rect{10, 300, 630, 470}));
    EXPECT_EQ((PenPoint{layout.penX, layout.penY}), (PenPoint{10, 300}));
}

TEST(LayoutWindow, HugeSizesSaturateInsteadOfOverflowing) {
    TextLayout layout;
    layout.SetWindow(INT_MAX - 5, 0, INT_MAX, 10);
    EXPECT_EQ(layout.window.right, INT_MAX);
}

TEST(LayoutFont, OnlyGivenValuesReplaceAndTheFontIsRecreated) {
    TextLayout layout;
    layout.SetFont("", kNotGiven, 40);
    EXPECT_EQ(layout.face, std::string(kDefaultFace));
    EXPECT_EQ(layout.height, 27);
    EXPECT_EQ(layout.skip, 40);
    ASSERT_NE(layout.font, nullptr);
    layout.SetFont("IPAGothic", 20, kNotGiven);
    EXPECT_EQ(layout.face, "IPAGothic");
    EXPECT_EQ(layout.height, 20);
    EXPECT_EQ(layout.font->Measure("A").height, 20);
}

class LayoutColour : public ::testing::TestWithParam<stage::PixelFormat> {};

TEST_P(LayoutColour, ColoursThatWouldBecomeTheKeyPixelAreDrawnInTheStandIn) {
    TextLayout layout;
    layout.SetColour(0xFF00FF, GetParam());
    EXPECT_EQ(layout.colour, kKeyStandIn);
    // Low bits are lost in 16 bits: a near-magenta is the key pixel as well.
    layout.SetColour(0xFA02FC, GetParam());
    EXPECT_EQ(layout.colour, kKeyStandIn);
    layout.SetColour(0x00FF00, GetParam());
    EXPECT_EQ(layout.colour, 0x00FF00u);
    // The stand-in itself is a different pixel in both formats.
    EXPECT_NE(GetParam().FromColour(kKeyStandIn), GetParam().FromColour(kTextKey));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, LayoutColour,
                         ::testing::Values(stage::PixelFormat::Rgb565(),
                                           stage::PixelFormat::Rgb555()));

TEST(LayoutBase, RestoreCopiesOneBaseValueWithoutColourMatching) {
    TextLayout layout;
    layout.SetBase("Base", 20, 24, 0xFF00FF);
    layout.SetBase("", kNotGiven, kNotGiven, std::nullopt);
    EXPECT_EQ(layout.baseFace, "Base");
    EXPECT_EQ(layout.baseHeight, 20);
    EXPECT_EQ(layout.baseSkip, 24);
    layout.RestoreFromBase(kAttrHeight);
    EXPECT_EQ(layout.height, 20);
    EXPECT_EQ(layout.skip, 30);
    layout.RestoreFromBase(kAttrSkip);
    EXPECT_EQ(layout.skip, 24);
    layout.RestoreFromBase(kAttrSrc);
    EXPECT_EQ(layout.face, "Base");
    layout.RestoreFromBase(kAttrColor);
    EXPECT_EQ(layout.colour, 0xFF00FFu);
    layout.RestoreFromBase(1);  // any other id: nothing
    EXPECT_EQ(layout.height, 20);
}

TEST(LayoutSize, AbsurdSizesSaturateAndStillGiveAFont) {
    TextLayout layout;
    layout.AdjustSize("+99999999999");
    EXPECT_EQ(layout.height, INT_MAX);
    EXPECT_EQ(layout.skip, INT_MAX);
    ASSERT_NE(layout.font, nullptr);
}

TEST(LayoutStyle, TagsSwitchTheirStyleOnly) {
    TextLayout layout;
    layout.SetStyle(17, true);
    layout.SetStyle(18, true);
    layout.SetStyle(19, true);
    layout.SetStyle(20, true);
    layout.SetStyle(43, false);
    EXPECT_EQ(layout.weight, 700);
    EXPECT_EQ(layout.italic, 1);
    EXPECT_EQ(layout.underline, 1);
    EXPECT_EQ(layout.strikeout, 1);
    EXPECT_EQ(layout.shadow, 0);
    layout.SetStyle(17, false);
    EXPECT_EQ(layout.weight, 0);
}

TEST(LayoutState, DefaultWindowWritesTwoBlanksBeforeTheEnd) {
    TextLayout layout;
    std::vector<std::string> lines;
    layout.WriteState(lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "<SCREEN LEFT=\"20\" TOP=\"20\" WIDTH=\"560\" HEIGHT=\"420\"  >");
    const std::string face(kDefaultFace);
    EXPECT_EQ(lines[1], "<FONT SRC=\"" + face + "\" HEIGHT=\"27\" SKIP=\"30\" COLOR=\"#FFFFFF\">");
    EXPECT_EQ(lines[2], lines[1]);
}

TEST(LayoutState, ShutNoneStylesAndColoursAreWritten) {
    TextLayout layout;
    layout.shutMode = kShutNone;
    layout.SetFont("F", 20, 22);
    layout.colour = 12 + 11 * 256 + 10 * 65536;
    layout.SetStyle(17, true);
    layout.SetStyle(18, true);
    layout.SetStyle(19, true);
    layout.SetStyle(20, true);
    layout.SetStyle(43, false);
    std::vector<std::string> lines{"before"};
    layout.WriteState(lines);
    const std::vector<std::string> expected{
        "before",
        "<SCREEN LEFT=\"20\" TOP=\"20\" WIDTH=\"560\" HEIGHT=\"420\"  SHUT=\"NONE\"  >",
        "<FONT SRC=\"" + std::string(kDefaultFace) +
            "\" HEIGHT=\"27\" SKIP=\"30\" COLOR=\"#FFFFFF\">",
        "<FONT SRC=\"F\" HEIGHT=\"20\" SKIP=\"22\" COLOR=\"#0C0B0A\">",
        "<B>",
        "<S>",
        "<I>",
        "<U>",
        "</SHADOW>"};
    EXPECT_EQ(lines, expected);
}

TEST(PositionValueRule, EachFormOfTheValue) {
    EXPECT_EQ(PositionValue(std::nullopt, 20, 580, 77), 77);
    EXPECT_EQ(PositionValue("", 20, 580, 77), 77);
    EXPECT_EQ(PositionValue("+30", 20, 580, 77), 107);
    EXPECT_EQ(PositionValue("-7", 20, 580, 77), 70);
    EXPECT_EQ(PositionValue("50%", 20, 580, 77), 300);
    EXPECT_EQ(PositionValue("150%", 20, 580, 77), 580);
    EXPECT_EQ(PositionValue("40", 20, 580, 77), 60);
    EXPECT_EQ(PositionValue("abc", 20, 580, 77), 20);
    EXPECT_EQ(PositionValue("+99999999999", 0, 0, INT_MAX), INT_MAX);
    EXPECT_EQ(PositionValue("100%", INT_MIN, INT_MAX, 0), INT_MAX);
}

TEST(FontStackLimits, PopRestoresColourThroughTheKeyRule) {
    TextLayout layout;
    FontStack stack;
    layout.colour = 0xFF00FF;  // set raw, as RestoreFromBase may leave it
    stack.Push(layout);
    layout.colour = 0x123456;
    stack.Pop(layout, stage::PixelFormat::Rgb555());
    EXPECT_EQ(layout.colour, kKeyStandIn);
}

}  // namespace
}  // namespace talu::interp
