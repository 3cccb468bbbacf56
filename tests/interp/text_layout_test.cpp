#include "interp/text_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "interp/font_stack.h"
#include "interp/interp_test_support.h"
#include "script/keywords.h"

namespace talu::interp {
namespace {

TEST(LineBreaking, ExtremeSkipAndHeightDoNotOverflow) {
    TextLayout layout;
    layout.skip = INT_MAX;
    layout.height = INT_MAX;
    EXPECT_FALSE(layout.LineBreak());
    EXPECT_EQ(layout.penY, 20);
    layout.skip = INT_MIN;
    layout.height = 0;
    layout.penY = -5;
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(layout.LineBreak());  // upwards, as a negative skip always went
        EXPECT_EQ(layout.penY, INT_MIN);
    }
}

TEST(PenMoves, OnlyInsideTheWindowAndNotGivenKeepsACoordinate) {
    TextLayout layout;
    // The right and bottom edges are outside, as is everything left of or above the window; a
    // coordinate not given stays.
    const std::tuple<int, int, bool, PenPoint> moves[] = {
        {20, 20, true, {20, 20}},           {579, 439, true, {579, 439}},
        {580, 100, false, {579, 439}},      {100, 440, false, {579, 439}},
        {19, 100, false, {579, 439}},       {100, 19, false, {579, 439}},
        {kNotGiven, 200, true, {579, 200}}, {300, kNotGiven, true, {300, 200}}};
    for (const auto& [x, y, moved, pen] : moves) {
        EXPECT_EQ(layout.MovePen(x, y), moved) << x << "," << y;
        EXPECT_EQ(test::Pen(layout), pen) << x << "," << y;
    }
    // A pen left outside a moved window cannot stay where it is.
    layout.window = stage::Rect{400, 300, 600, 440};
    EXPECT_FALSE(layout.MovePen(kNotGiven, 350));
    EXPECT_EQ(layout.penY, 200);
}

TEST(Indents, LinesStartAtTheIndentedPenToADepthOfNineteen) {
    TextLayout layout;
    layout.penX = 74;
    layout.OpenIndent();
    ASSERT_TRUE(layout.LineBreak());
    EXPECT_EQ(std::tuple(layout.indentDepth, layout.penX), std::tuple(1, 74));
    layout.penX = 200;
    layout.OpenIndent();
    for (int start : {200, 74, 20, 20}) {  // the last CloseIndent, at depth 0, is ignored
        EXPECT_EQ(layout.LineStart(), start);
        layout.CloseIndent();
    }
    EXPECT_EQ(layout.indentDepth, 0);
    for (int i = 0; i < 25; ++i) {
        layout.penX = 30 + i;
        layout.OpenIndent();
    }
    EXPECT_EQ(layout.indentDepth, 19);
    EXPECT_EQ(layout.LineStart(), 30 + 18);  // the 20th and later INDENTs were ignored
}

TEST(PositionStack, KeepsTheTwentyMostRecentAndDropsThoseOutsideTheWindow) {
    TextLayout layout;
    for (int i = 0; i < 21; ++i) {
        layout.MovePen(30 + i, 40 + i);
        layout.SavePosition();
    }
    layout.MovePen(500, 400);
    for (int i = 20; i >= 1; --i) {
        layout.LoadPosition();
        EXPECT_EQ(test::Pen(layout), (PenPoint{30 + i, 40 + i}));
    }
    layout.LoadPosition();  // the first save was dropped
    EXPECT_EQ(test::Pen(layout), (PenPoint{31, 41}));

    layout.MovePen(30, 30);
    layout.SavePosition();
    layout.MovePen(40, 40);
    layout.SavePosition();
    layout.window = stage::Rect{35, 35, 600, 440};
    for (int x : {40, 100}) {  // (30, 30) lies outside the new window: popped without a move
        layout.MovePen(100, 100);
        layout.LoadPosition();
        EXPECT_EQ(layout.penX, x);
    }
    EXPECT_FALSE(layout.positions.front().has_value());
}

TEST(LayoutLimits, AbsurdSizesSaturateInsteadOfOverflowingAndStillGiveAFont) {
    TextLayout layout;
    layout.SetWindow(INT_MAX - 5, 0, INT_MAX, 10);
    layout.AdjustSize("+99999999999");
    EXPECT_EQ(std::tuple(layout.window.right, layout.height, layout.skip),
              std::tuple(INT_MAX, INT_MAX, INT_MAX));
    ASSERT_NE(layout.font, nullptr);
}

class LayoutColour : public ::testing::TestWithParam<stage::PixelFormat> {};

TEST_P(LayoutColour, ColoursThatWouldBecomeTheKeyPixelAreDrawnInTheStandIn) {
    TextLayout layout;
    // Low bits are lost in 16 bits: a near-magenta is the key pixel as well.
    for (const auto& [colour, drawn] :
         {std::pair{0xFF00FFu, kKeyStandIn}, {0xFA02FCu, kKeyStandIn}, {0x00FF00u, 0x00FF00u}}) {
        layout.SetColour(colour, GetParam());
        EXPECT_EQ(layout.colour, drawn) << colour;
    }
    // The stand-in itself is a different pixel in both formats.
    EXPECT_NE(GetParam().FromColour(kKeyStandIn), GetParam().FromColour(kTextKey));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, LayoutColour, test::BothFormats());

TEST(LayoutBase, RestoreCopiesOneBaseValueWithoutColourMatching) {
    TextLayout layout;
    layout.SetBase("Base", 20, 24, 0xFF00FF);
    layout.SetBase("", kNotGiven, kNotGiven, std::nullopt);
    EXPECT_EQ(std::tuple(layout.baseFace, layout.baseHeight, layout.baseSkip),
              std::tuple("Base", 20, 24));
    layout.RestoreFromBase(script::kw::kHeight);
    EXPECT_EQ(std::tuple(layout.height, layout.skip), std::tuple(20, 30));
    layout.RestoreFromBase(script::kw::kSkip);
    EXPECT_EQ(layout.skip, 24);
    layout.RestoreFromBase(script::kw::kSrc);
    layout.RestoreFromBase(script::kw::kColor);
    EXPECT_EQ(std::tuple(layout.face, layout.colour), std::tuple("Base", 0xFF00FFu));
    layout.RestoreFromBase(1);  // any other id: nothing
    EXPECT_EQ(layout.height, 20);
}

TEST(LayoutState, TheWindowTheBaseAndTheCurrentFontAndItsStylesAreWritten) {
    TextLayout layout;
    const std::string screen = "<SCREEN LEFT=\"20\" TOP=\"20\" WIDTH=\"560\" HEIGHT=\"420\"  ";
    const std::string font = "<FONT SRC=\"" + std::string(kDefaultFace) +
                             "\" HEIGHT=\"27\" SKIP=\"30\" COLOR=\"#FFFFFF\">";
    std::vector<std::string> lines;
    layout.WriteState(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{screen + ">", font, font}));

    layout.shutMode = script::kw::kNone;
    layout.SetFont("F", 20, 22);
    layout.colour = 12 + 11 * 256 + 10 * 65536;
    for (int style : {script::kw::kB, script::kw::kI, script::kw::kU, script::kw::kS}) {
        layout.SetStyle(style, true);
    }
    layout.SetStyle(script::kw::kShadow, false);
    lines = {"before"};
    layout.WriteState(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "before", screen + "SHUT=\"NONE\"  >", font,
                         "<FONT SRC=\"F\" HEIGHT=\"20\" SKIP=\"22\" COLOR=\"#0C0B0A\">", "<B>",
                         "<S>", "<I>", "<U>", "</SHADOW>"}));
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
