#include "interp/text_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace talu::interp {
namespace {

TEST(TextLayoutStart, HasTheMessageWindowDefaults) {
    TextLayout layout;
    EXPECT_EQ(layout.window, (stage::Rect{20, 20, 580, 440}));
    EXPECT_EQ(layout.penX, 20);
    EXPECT_EQ(layout.penY, 20);
    EXPECT_EQ(layout.height, 27);
    EXPECT_EQ(layout.skip, 30);
    EXPECT_EQ(layout.shadow, 1);
    EXPECT_EQ(layout.face, kDefaultFace);
    EXPECT_EQ(layout.baseFace, kDefaultFace);
    EXPECT_FALSE(layout.positions.front().has_value());
    ASSERT_NE(layout.font, nullptr);
    EXPECT_EQ(layout.font->Metrics().cellHeight, 27);
}

TEST(TextLayoutStart, RecreateFontFollowsTheFields) {
    TextLayout layout;
    layout.height = 16;
    layout.weight = 700;
    layout.RecreateFont();
    ASSERT_NE(layout.font, nullptr);
    EXPECT_EQ(layout.font->Metrics().cellHeight, 16);
    EXPECT_EQ(layout.font->Measure("\x82\xA0").width, 17);  // bold adds a pixel
}

TEST(LineBreaking, DefaultWindowHoldsFourteenLines) {
    TextLayout layout;
    std::vector<int> tops{layout.penY};
    while (layout.LineBreak()) {
        tops.push_back(layout.penY);
    }
    ASSERT_EQ(tops.size(), 14u);
    for (std::size_t i = 0; i < tops.size(); ++i) {
        EXPECT_EQ(tops[i], 20 + 30 * static_cast<int>(i));
    }
    // 410 + 30 + 27 = 467 > 440: the break fails, the pen's y stays, its x went to the start.
    EXPECT_EQ(layout.penY, 410);
    EXPECT_EQ(layout.penX, 20);
}

TEST(LineBreaking, FailedBreakStillMovesToTheLineStart) {
    TextLayout layout;
    layout.penX = 300;
    layout.penY = 410;
    EXPECT_FALSE(layout.LineBreak());
    EXPECT_EQ(layout.penX, 20);
    EXPECT_EQ(layout.penY, 410);
}

TEST(LineBreaking, AfterAWrapNothingMoves) {
    TextLayout layout;
    layout.penX = 20;
    layout.penY = 50;
    layout.wrapped = 1;
    EXPECT_TRUE(layout.LineBreak());
    EXPECT_EQ(layout.penY, 50);
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

TEST(PenMoves, OnlyInsideTheWindow) {
    TextLayout layout;
    EXPECT_TRUE(layout.MovePen(20, 20));
    EXPECT_TRUE(layout.MovePen(579, 439));
    EXPECT_FALSE(layout.MovePen(580, 100));  // right edge is outside
    EXPECT_FALSE(layout.MovePen(100, 440));  // so is the bottom edge
    EXPECT_FALSE(layout.MovePen(19, 100));
    EXPECT_FALSE(layout.MovePen(100, 19));
    EXPECT_EQ(layout.penX, 579);
    EXPECT_EQ(layout.penY, 439);
}

TEST(PenMoves, NotGivenKeepsACoordinate) {
    TextLayout layout;
    EXPECT_TRUE(layout.MovePen(kNotGiven, 200));
    EXPECT_EQ(layout.penX, 20);
    EXPECT_EQ(layout.penY, 200);
    EXPECT_TRUE(layout.MovePen(300, kNotGiven));
    EXPECT_EQ(layout.penX, 300);
    EXPECT_EQ(layout.penY, 200);
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

TEST(Indents, LinesStartAtTheIndentedPen) {
    TextLayout layout;
    layout.penX = 74;
    layout.OpenIndent();
    EXPECT_EQ(layout.indentDepth, 1);
    EXPECT_EQ(layout.LineStart(), 74);
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
}

TEST(Indents, DepthStopsAtNineteen) {
    TextLayout layout;
    for (int i = 0; i < 25; ++i) {
        layout.penX = 30 + i;
        layout.OpenIndent();
    }
    EXPECT_EQ(layout.indentDepth, 19);
    EXPECT_EQ(layout.LineStart(), 30 + 18);  // the 20th and later INDENTs were ignored
}

TEST(PositionStack, LoadReturnsToTheSavedPen) {
    TextLayout layout;
    layout.MovePen(100, 200);
    layout.SavePosition();
    layout.MovePen(300, 350);
    layout.LoadPosition();
    EXPECT_EQ(layout.penX, 100);
    EXPECT_EQ(layout.penY, 200);
    layout.MovePen(300, 350);
    layout.LoadPosition();  // nothing saved any more: the pen stays
    EXPECT_EQ(layout.penX, 300);
    EXPECT_EQ(layout.penY, 350);
}

TEST(PositionStack, KeepsTheTwentyMostRecent) {
    TextLayout layout;
    for (int i = 0; i < 21; ++i) {
        layout.MovePen(30 + i, 40 + i);
        layout.SavePosition();
    }
    layout.MovePen(500, 400);
    for (int i = 20; i >= 1; --i) {
        layout.LoadPosition();
        EXPECT_EQ(layout.penX, 30 + i);
        EXPECT_EQ(layout.penY, 40 + i);
    }
    layout.LoadPosition();  // the first save was dropped
    EXPECT_EQ(layout.penX, 31);
    EXPECT_EQ(layout.penY, 41);
}

TEST(PositionStack, LoadOutsideTheWindowPopsWithoutMoving) {
    TextLayout layout;
    layout.MovePen(30, 30);
    layout.SavePosition();
    layout.MovePen(40, 40);
    layout.SavePosition();
    layout.window = stage::Rect{35, 35, 600, 440};
    layout.MovePen(100, 100);
    layout.LoadPosition();
    EXPECT_EQ(layout.penX, 40);
    layout.MovePen(100, 100);
    layout.LoadPosition();  // (30, 30) lies outside the new window
    EXPECT_EQ(layout.penX, 100);
    EXPECT_FALSE(layout.positions.front().has_value());
}

}  // namespace
}  // namespace talu::interp
