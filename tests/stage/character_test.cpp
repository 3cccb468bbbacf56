// Characters: placement, ENTER, ACT and EXIT with their messages, drawing and tag text.
#include <gtest/gtest.h>

#include "pixel_test_support.h"
#include "stage/character_placement.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

using script::kw::kAct;
using script::kw::kEffect;
using script::kw::kEnter;
using script::kw::kExit;
using script::kw::kLeft;
using script::kw::kName;
using script::kw::kSrc;
using script::kw::kTop;
using testing::StageRig;
using testing::Tag;

constexpr int kAlign = 72;
constexpr int kAlpha = 73;
constexpr int kMode = 82;
constexpr int kValign = 92;
constexpr int kPut = 97;

TEST(Placement, QuartersAndEdgesOfTheArea) {
    const Rect area{0, 0, 640, 480};
    using namespace script::kw;
    EXPECT_EQ(Place(area, 200, 400, kCenter, kFloor).left, 220);
    EXPECT_EQ(Place(area, 200, 400, kCenter, kFloor).top, 80);
    EXPECT_EQ(Place(area, 200, 400, kLeft, kFloor).left, 60);
    EXPECT_EQ(Place(area, 200, 400, kRight, kFloor).left, 380);
    EXPECT_EQ(Place(area, 200, 400, kRightSide, kRoof).left, 440);
    EXPECT_EQ(Place(area, 200, 400, kLeftSide, kRoof).top, 0);
    EXPECT_EQ(Place(area, 201, 101, kCenter, kTop).top, -50 + 120);
    EXPECT_EQ(Place(area, 201, 101, kCenter, kBottom).top, -50 + 360);
    EXPECT_EQ(Place(area, 201, 101, 0, 0).top, -50 + 240);
    EXPECT_EQ(Place(area, 201, 101, 0, 0).left, -100 + 320);
    const Rect shifted{100, 50, 300, 250};
    EXPECT_EQ(Place(shifted, 20, 20, kLeft, kFloor).left, 100 - 10 + 50);
    EXPECT_EQ(Place(shifted, 20, 20, kLeft, kFloor).top, 230);
}

TEST(Placement, HugeAreasSaturateInsteadOfOverflowing) {
    const Rect area{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    using namespace script::kw;
    const Placement p = Place(area, 10, 10, kRight, kBottom);
    EXPECT_GT(p.left, 0);
    EXPECT_GT(p.top, 0);
    EXPECT_EQ(Place(Rect{0, 0, 0, INT32_MIN}, 10, 10, kRightSide, kFloor).top, INT32_MIN);
}

class Characters : public ::testing::Test {
  protected:
    script::TagRecord Enter(const std::string& name,
                            std::vector<std::pair<int, std::string>> more = {}) {
        more.insert(more.begin(), {kName, name});
        return Tag(kEnter, more);
    }
    TagOutcome Act(const std::string& name, const std::string& src,
                   std::vector<std::pair<int, std::string>> more = {}) {
        more.insert(more.begin(), {kSrc, src});
        more.insert(more.begin(), {kName, name});
        return rig.controller->ActTag(Tag(kAct, more));
    }
    const Character* Named(const std::string& name) {
        const auto slot = rig.stage.FindByName(name);
        return slot ? &rig.stage.CharacterAt(*slot) : nullptr;
    }
    std::string LastBox() { return rig.boxes.boxes.empty() ? "" : rig.boxes.boxes.back(); }

    StageRig rig;
};

TEST_F(Characters, EnterThenActStandsOnTheFloor) {
    rig.Picture("a.bmp", 200, 400, 0x00FF00, 0xFF00FF);
    EXPECT_FALSE(rig.controller->EnterTag(Enter("A")).failed);
    EXPECT_TRUE(rig.presents.empty());  // ENTER alone shows nothing
    EXPECT_FALSE(Act("A", "a.bmp").failed);
    const Character* a = Named("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->left, 220);
    EXPECT_EQ(a->top, 80);
    ASSERT_EQ(rig.presents.size(), 1u);
    EXPECT_EQ(rig.presents[0].effect, 1);
    EXPECT_EQ(rig.presents[0].time, 40);
    const Surface& s = rig.stage.StageSurface();
    EXPECT_EQ(s.Row(100)[300], rig.stage.Format().FromColour(0x00FF00));
    EXPECT_EQ(s.Row(80)[220], 0);  // the automatic key leaves the corner out
}

TEST_F(Characters, LeftAndTopAreRelativeToTheAreaAndPutUsesAnotherCharacter) {
    rig.Picture("a.bmp", 20, 20, 0x00FF00);
    rig.controller->SpaceTag(Tag(50, {{kLeft, "100"}, {kTop, "50"}, {69, "200"}, {70, "200"}}));
    rig.controller->EnterTag(Enter("A"));
    rig.controller->EnterTag(Enter("B", {{kAlign, "LEFTSIDE"}, {kValign, "ROOF"}}));
    Act("A", "a.bmp", {{kLeft, "5"}, {kTop, "-7"}});
    EXPECT_EQ(Named("A")->left, 105);
    EXPECT_EQ(Named("A")->top, 43);
    Act("B", "a.bmp", {{kPut, "A"}});
    EXPECT_EQ(Named("B")->left, 105);
    EXPECT_EQ(Named("B")->top, 43);
    EXPECT_TRUE(Act("B", "a.bmp", {{kPut, "Z"}}).failed);
    EXPECT_NE(LastBox().find("Character \"Z\" has't enterd."), std::string::npos);
}

TEST_F(Characters, EnterMessagesForNameAndAlignment) {
    EXPECT_TRUE(rig.controller->EnterTag(Tag(kEnter, {})).failed);
    EXPECT_NE(LastBox().find("NAME attribute is not found.Please name for character."),
              std::string::npos);
    EXPECT_TRUE(rig.controller->EnterTag(Enter("A", {{kAlign, "UP"}})).failed);
    EXPECT_NE(LastBox().find("ALIGN attribut is not found."), std::string::npos);
    EXPECT_EQ(Named("A"), nullptr);
    EXPECT_FALSE(rig.controller->EnterTag(Enter("A", {{kValign, "LEFT"}})).failed);
    EXPECT_NE(LastBox().find("VALIGN attribut is not found."), std::string::npos);
    ASSERT_NE(Named("A"), nullptr);
    EXPECT_EQ(rig.boxes.boxes.size(), 3u);
}

TEST_F(Characters, DuplicateNamesAreRefusedEvenWhileLeaving) {
    rig.controller->EnterTag(Enter("A"));
    EXPECT_TRUE(rig.controller->EnterTag(Enter("A")).failed);
    EXPECT_NE(LastBox().find("Character \"A\" has enterd."), std::string::npos);
    rig.controller->ExitTag(Tag(kExit, {{kName, "A"}, {kMode, "ghost"}}));
    EXPECT_EQ(Named("A")->exitPending, 1);
    EXPECT_TRUE(rig.controller->EnterTag(Enter("A")).failed);
    EXPECT_EQ(rig.boxes.boxes.size(), 2u);
}

TEST_F(Characters, TwentyFirstCharacterIsRefused) {
    for (int i = 0; i < kCharacterSlots; ++i) {
        ASSERT_FALSE(rig.controller->EnterTag(Enter("C" + std::to_string(i))).failed);
    }
    EXPECT_TRUE(rig.controller->EnterTag(Enter("X")).failed);
    EXPECT_NE(LastBox().find("No more character can enter to stage.\nMax 20 characters."),
              std::string::npos);
    EXPECT_EQ(Named("X"), nullptr);
}

TEST_F(Characters, ActMessages) {
    EXPECT_TRUE(rig.controller->ActTag(Tag(kAct, {{kSrc, "a.bmp"}})).failed);
    EXPECT_NE(LastBox().find("NAME attribute is not found in <ACT> tag."), std::string::npos);
    EXPECT_TRUE(Act("Nobody", "a.bmp").failed);
    EXPECT_NE(LastBox().find("Character \"Nobody\" has't enterd."), std::string::npos);
    rig.controller->EnterTag(Enter("A"));
    EXPECT_TRUE(Act("A", "missing.bmp").failed);
    EXPECT_NE(LastBox().find("I can't open file \"missing.bmp\"."), std::string::npos);
    ASSERT_NE(Named("A"), nullptr);
    EXPECT_FALSE(Named("A")->IsLoaded());
    EXPECT_TRUE(rig.presents.empty());
}

TEST_F(Characters, HalfAlphaBlendsWithTheStage) {
    rig.Picture("a.bmp", 10, 10, 0xF8F8F8);
    rig.controller->EnterTag(Enter("A", {{kAlign, "LEFTSIDE"}, {kValign, "ROOF"}}));
    Act("A", "a.bmp", {{kAlpha, "50"}, {script::kw::kTransparent, "NONE"}});
    const PixelFormat& f = rig.stage.Format();
    const uint16_t p = rig.stage.StageSurface().Row(5)[5];
    EXPECT_EQ((p & f.red.mask) >> f.red.shift, 15u);  // (31 x 16 + 0 x 16) >> 5
    EXPECT_EQ(Named("A")->alpha, 50);
}

TEST_F(Characters, AlphaNamingAFileBecomesTheMask) {
    rig.Picture("a.bmp", 4, 4, 0xF8F8F8, 0x000000);
    rig.Picture("m.bmp", 4, 4, 0x808080);
    rig.controller->EnterTag(Enter("A", {{kAlign, "LEFTSIDE"}, {kValign, "ROOF"}}));
    Act("A", "a.bmp", {{kAlpha, "m.bmp"}});
    const Character* a = Named("A");
    uint32_t key = 0;
    EXPECT_FALSE(a->GetSourceKey(key));  // automatic transparency is off
    ASSERT_EQ(a->mask.size(), 16u);
    EXPECT_EQ(a->mask[5], 128);  // (16 + 16 + 16) / 3 x 8
    EXPECT_EQ(a->maskSource, "m.bmp");
    const PixelFormat& f = rig.stage.Format();
    const uint16_t p = rig.stage.StageSurface().Row(1)[1];
    EXPECT_EQ((p & f.blue.mask) >> f.blue.shift, 15u);  // (0 x 128 + 31 x 128) >> 8
    std::vector<std::string> lines;
    a->WriteTags(lines);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1],
              "<ACT NAME=\"A\" SRC=\"a.bmp\" LEFT=\"0\" TOP=\"0\" WIDTH=\"4\" HEIGHT=\"4\"  "
              "ALPHA=\"m.bmp\"  >");
}

TEST_F(Characters, MissingMaskIsReportedAndTheCharacterStaysWithoutOne) {
    rig.Picture("a.bmp", 4, 4, 0xF8F8F8);
    rig.controller->EnterTag(Enter("A"));
    EXPECT_FALSE(Act("A", "a.bmp", {{kAlpha, "nomask.bmp"}}).failed);
    EXPECT_NE(LastBox().find("I can't open file \"nomask.bmp\"."), std::string::npos);
    EXPECT_TRUE(Named("A")->mask.empty());
    EXPECT_TRUE(Named("A")->maskSource.empty());
}

TEST_F(Characters, PassModeLoadsSilentlyAndTheNextChangeShowsIt) {
    rig.Picture("a.bmp", 10, 10, 0xFFFFFF);
    rig.controller->EnterTag(Enter("A", {{kAlign, "LEFTSIDE"}, {kValign, "ROOF"}}));
    Act("A", "a.bmp", {{kMode, "pass"}, {script::kw::kTransparent, "NONE"}});
    EXPECT_TRUE(rig.presents.empty());
    EXPECT_EQ(Named("A")->hidden, 1);
    rig.controller->BackgroundTag(Tag(5, {{74, "#000000"}}));
    EXPECT_EQ(Named("A")->hidden, 0);
    EXPECT_NE(rig.stage.StageSurface().Row(1)[1], 0);
}

TEST_F(Characters, GhostExitStaysUntilTheNextPresentedChange) {
    rig.Picture("a.bmp", 10, 10, 0xFFFFFF);
    rig.controller->EnterTag(Enter("A", {{kAlign, "LEFTSIDE"}, {kValign, "ROOF"}}));
    Act("A", "a.bmp", {{script::kw::kTransparent, "NONE"}});
    rig.presents.clear();
    rig.controller->ExitTag(Tag(kExit, {{kName, "A"}, {kMode, "GHOST"}}));
    EXPECT_TRUE(rig.presents.empty());
    rig.stage.Recompose();
    EXPECT_NE(rig.stage.StageSurface().Row(1)[1], 0);
    rig.controller->BackgroundTag(Tag(5, {{74, "#000000"}}));
    EXPECT_EQ(Named("A"), nullptr);
    EXPECT_EQ(rig.stage.StageSurface().Row(1)[1], 0);
}

TEST_F(Characters, ExitAllClearsEveryoneAndPresentsOnce) {
    rig.Picture("a.bmp", 10, 10, 0xFFFFFF);
    rig.controller->EnterTag(Enter("A", {{kEffect, "EF_ONE_CHAR"}}));
    rig.controller->EnterTag(Enter("B"));
    rig.controller->EnterTag(Enter("C", {{kEffect, "EF_ONE_CHAR"}}));
    Act("A", "a.bmp");
    rig.presents.clear();
    EXPECT_FALSE(rig.controller->ExitTag(Tag(kExit, {})).failed);
    EXPECT_EQ(rig.stage.FirstActive(), std::nullopt);
    EXPECT_EQ(rig.stage.FindFree(), 0);
    EXPECT_EQ(rig.Effects(), (std::vector<int>{7}));  // the last one cleared: C, one-char
    EXPECT_EQ(rig.presents[0].time, 40);
}

TEST_F(Characters, ExitOfAnUnknownNameIsReported) {
    EXPECT_TRUE(rig.controller->ExitTag(Tag(kExit, {{kName, "Q"}})).failed);
    EXPECT_NE(LastBox().find("Character \"Q\" has't enterd."), std::string::npos);
    rig.controller->EnterTag(Enter("ALL"));
    rig.controller->ExitTag(Tag(kExit, {{kName, "All"}}));  // "all" in any case means everyone
    EXPECT_EQ(Named("ALL"), nullptr);
}

TEST_F(Characters, TagTextWritesEnterAndAbsoluteActLines) {
    rig.Picture("a.bmp", 20, 30, 0x00FF00);
    rig.controller->SunglassTag(Tag(38, {{74, "LIGHT"}}));
    rig.controller->EnterTag(Enter("A", {{kAlign, "RIGHT"}, {kValign, "TOP"}, {kAlpha, "70"}}));
    Act("A", "a.bmp", {{script::kw::kTransparent, "#00FF00"}, {kEffect, "EF_FADEIN"}});
    std::vector<std::string> lines;
    Named("A")->WriteTags(lines);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(
        lines[0],
        "<ENTER NAME=\"A\" ALIGN=\"RIGHT\" VALIGN=\"TOP\" EFFECT=\"EF_NORMAL\" ALPHA=\"70\">");
    EXPECT_EQ(lines[1], "<SUNGLASS COLOR=\"#C8C8C8\">");
    EXPECT_EQ(lines[2],
              "<ACT NAME=\"A\" SRC=\"a.bmp\" LEFT=\"470\" TOP=\"105\" WIDTH=\"20\" HEIGHT=\"30\"  "
              "ALPHA=\"100\" TRANSPARENT=\"#00FF00\" >");
    EXPECT_EQ(lines[3], "</SUNGLASS>");
}

TEST_F(Characters, CharactersInsideACurtainWaitForTheClose) {
    rig.Picture("a.bmp", 10, 10, 0xFFFFFF);
    rig.controller->CurtainTag(Tag(55, {}));
    rig.controller->EnterTag(Enter("A"));
    Act("A", "a.bmp");
    rig.controller->ExitTag(Tag(kExit, {{kName, "A"}}));
    EXPECT_TRUE(rig.presents.empty());
    rig.controller->CurtainTag(Tag(55, {}, true));
    EXPECT_EQ(rig.presents.size(), 1u);
}

class CharacterDrawing : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(CharacterDrawing, NegativePositionClipsTheSource) {
    const PixelFormat f = GetParam();
    Surface stage;
    ASSERT_TRUE(stage.Create(8, 8, f));
    Character c;
    ASSERT_TRUE(c.Create(4, 4, f));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            c.Row(y)[x] = static_cast<uint16_t>(1 + x + 4 * y);
    }
    c.left = -2;
    c.top = -1;
    c.Draw(stage, false);
    EXPECT_EQ(stage.Row(0)[0], 1 + 2 + 4);
    EXPECT_EQ(stage.Row(2)[1], 1 + 3 + 12);
    EXPECT_EQ(stage.Row(3)[0], 0);
    c.alpha = 50;
    c.left = 6;
    c.top = 6;
    c.Draw(stage, false);  // translucent and clipped on the far sides
    EXPECT_NE(stage.Row(7)[7], 0);
}

TEST_P(CharacterDrawing, EdgeSmoothingAveragesStagePixelsUnderKeyedOutline) {
    const PixelFormat f = GetParam();
    Surface stage;
    ASSERT_TRUE(stage.Create(6, 6, f));
    stage.Fill(0);
    const uint16_t white = f.FromColour(0xFFFFFF);
    Character c;
    ASSERT_TRUE(c.Create(5, 5, f));
    c.Fill(0xFF00FF);
    c.SetSourceKey(0xFF00FF);
    c.Row(2)[2] = white;  // one opaque pixel in the middle
    c.Draw(stage, true);
    // (2,1) is key with a non-key neighbour: average of white and four black pixels.
    const uint16_t p = stage.Row(1)[2];
    EXPECT_EQ((p & f.red.mask) >> f.red.shift, f.red.max / 5u);
    EXPECT_EQ(stage.Row(2)[2], white);
    EXPECT_EQ(stage.Row(1)[1], 0);  // all neighbours key: untouched
    // Drawn at the stage's corner, pixels without four stage neighbours are left alone.
    Surface small;
    ASSERT_TRUE(small.Create(2, 2, f));
    c.left = -2;
    c.top = -2;
    c.Draw(small, true);
    EXPECT_EQ(small.Row(0)[0], white);
}

INSTANTIATE_TEST_SUITE_P(Formats, CharacterDrawing, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

}  // namespace
}  // namespace talu::stage
