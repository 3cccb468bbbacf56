#include "interp/text_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "interp/font_stack.h"
#include "interp/interp_test_support.h"
#include "script/keywords.h"

namespace talu::interp {
namespace {

TEST(LineBreaking, DefaultWindowHoldsFourteenLinesAndEveryBreakGoesToTheLineStart) {
    TextLayout layout;
    std::vector<int> tops{layout.penY};
    layout.penX = 300;
    while (layout.LineBreak()) {
        EXPECT_EQ(layout.penX, 20);
        tops.push_back(layout.penY);
        layout.penX = 300;
    }
    ASSERT_EQ(tops.size(), 14u);
    for (std::size_t i = 0; i < tops.size(); ++i) {
        EXPECT_EQ(tops[i], 20 + 30 * static_cast<int>(i));
    }
    // 410 + 30 + 27 = 467 > 440: the break fails, the pen's y stays, its x went to the start.
    EXPECT_EQ(layout.penY, 410);
    EXPECT_EQ(layout.penX, 20);
}

TEST(LineBreaking, ExtremeSkipAndHeightDoNotOverflow) {
    TextLayout layout;
    layout.skip = INT_MAX;
    layout.height = INT_MAX;
    EXPECT_FALSE(layout.LineBreak());
    EXPECT_EQ(layout.penY, 20);
    layout.skip = INT_MIN;
    layout.height = 0;
    layout.penY = -5;
    EXPECT_TRUE(layout.LineBreak());  // upwards, as a negative skip always went
    EXPECT_EQ(layout.penY, INT_MIN);
    EXPECT_TRUE(layout.LineBreak());
    EXPECT_EQ(layout.penY, INT_MIN);
}

TEST(PenMoves, OnlyInsideTheWindowAndNotGivenKeepsACoordinate) {
    TextLayout layout;
    EXPECT_TRUE(layout.MovePen(20, 20));
    EXPECT_TRUE(layout.MovePen(579, 439));
    // The right and bottom edges are outside, as is everything left of or above the window.
    const std::pair<int, int> outside[] = {{580, 100}, {100, 440}, {19, 100}, {100, 19}};
    for (const auto& [x, y] : outside) {
        EXPECT_FALSE(layout.MovePen(x, y)) << x << "," << y;
    }
    EXPECT_EQ(test::Pen(layout), (PenPoint{579, 439}));
    EXPECT_TRUE(layout.MovePen(kNotGiven, 200));
    EXPECT_EQ(test::Pen(layout), (PenPoint{579, 200}));
    EXPECT_TRUE(layout.MovePen(300, kNotGiven));
    EXPECT_EQ(test::Pen(layout), (PenPoint{300, 200}));
    // A pen left outside a moved window cannot stay where it is.
    layout.window = stage::Rect{400, 300, 600, 440};
    EXPECT_FALSE(layout.MovePen(kNotGiven, 350));
    EXPECT_EQ(layout.penY, 200);
}

TEST(PenMoves, NextCharacterPlaceLooksAheadAtTheMargin) {
    TextLayout layout;
    layout.penX = 553;  // 553 + 27 = 580 still fits
    layout.penY = 80;
    EXPECT_EQ(layout.NextCharacterPlace(), (PenPoint{553, 80}));
    layout.penX = 554;
    EXPECT_EQ(layout.NextCharacterPlace(), (PenPoint{20, 110}));
    layout.penY = 410;  // 410 + 30 = 440 is not above the bottom: stays on the line
    EXPECT_EQ(layout.NextCharacterPlace(), (PenPoint{20, 410}));
    layout.penY = 409;
    EXPECT_EQ(layout.NextCharacterPlace(), (PenPoint{20, 439}));
    EXPECT_EQ(layout.penX, 554);  // only a look
}

TEST(Indents, LinesStartAtTheIndentedPenToADepthOfNineteen) {
    TextLayout layout;
    layout.penX = 74;
    layout.OpenIndent();
    EXPECT_EQ(layout.indentDepth, 1);
    ASSERT_TRUE(layout.LineBreak());
    EXPECT_EQ(layout.penX, 74);
    layout.penX = 200;
    layout.OpenIndent();
    EXPECT_EQ(layout.LineStart(), 200);
    layout.CloseIndent();
    EXPECT_EQ(layout.LineStart(), 74);
    layout.CloseIndent();
    EXPECT_EQ(layout.LineStart(), 20);
    layout.CloseIndent();  // at depth 0: ignored
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
    layout.MovePen(100, 100);
    layout.LoadPosition();
    EXPECT_EQ(layout.penX, 40);
    layout.MovePen(100, 100);
    layout.LoadPosition();  // (30, 30) lies outside the new window: popped without a move
    EXPECT_EQ(layout.penX, 100);
    EXPECT_FALSE(layout.positions.front().has_value());
}

TEST(LayoutLimits, AbsurdSizesSaturateInsteadOfOverflowingAndStillGiveAFont) {
    TextLayout layout;
    layout.SetWindow(INT_MAX - 5, 0, INT_MAX, 10);
    EXPECT_EQ(layout.window.right, INT_MAX);
    layout.AdjustSize("+99999999999");
    EXPECT_EQ(layout.height, INT_MAX);
    EXPECT_EQ(layout.skip, INT_MAX);
    ASSERT_NE(layout.font, nullptr);
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

INSTANTIATE_TEST_SUITE_P(BothFormats, LayoutColour, test::BothFormats());

TEST(LayoutBase, RestoreCopiesOneBaseValueWithoutColourMatching) {
    TextLayout layout;
    layout.SetBase("Base", 20, 24, 0xFF00FF);
    layout.SetBase("", kNotGiven, kNotGiven, std::nullopt);
    EXPECT_EQ(layout.baseFace, "Base");
    EXPECT_EQ(layout.baseHeight, 20);
    EXPECT_EQ(layout.baseSkip, 24);
    layout.RestoreFromBase(script::kw::kHeight);
    EXPECT_EQ(layout.height, 20);
    EXPECT_EQ(layout.skip, 30);
    layout.RestoreFromBase(script::kw::kSkip);
    EXPECT_EQ(layout.skip, 24);
    layout.RestoreFromBase(script::kw::kSrc);
    EXPECT_EQ(layout.face, "Base");
    layout.RestoreFromBase(script::kw::kColor);
    EXPECT_EQ(layout.colour, 0xFF00FFu);
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
