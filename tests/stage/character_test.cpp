// Characters: placement, ENTER, ACT and EXIT with their messages, drawing and tag text.
#include <gtest/gtest.h>

#include "pixel_test_support.h"
#include "stage/character_placement.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

namespace kw = script::kw;

using testing::Attributes;
using testing::Field;
using testing::Lines;
using testing::StageRig;
using testing::Tag;

TEST(Placement, QuartersAndEdgesOfTheAreaSaturatingInHugeOnes) {
    using namespace kw;
    auto at = [](const Rect& area, int width, int height, int align, int valign) {
        const Placement p = Place(area, width, height, align, valign);
        return std::pair{p.left, p.top};
    };
    const Rect area{0, 0, 640, 480};
    const struct {
        int width, height, align, valign, left, top;
    } cases[] = {{200, 400, kCenter, kFloor, 220, 80},   {200, 400, kw::kLeft, kFloor, 60, 80},
                 {200, 400, kRight, kFloor, 380, 80},    {200, 400, kRightSide, kRoof, 440, 0},
                 {200, 400, kLeftSide, kRoof, 0, 0},     {201, 101, kCenter, kw::kTop, 220, 70},
                 {201, 101, kCenter, kBottom, 220, 310}, {201, 101, 0, 0, 220, 190}};
    for (const auto& c : cases) {
        EXPECT_EQ(at(area, c.width, c.height, c.align, c.valign), std::pair(c.left, c.top))
            << c.align << " " << c.valign;
    }
    EXPECT_EQ(at(Rect{100, 50, 300, 250}, 20, 20, kw::kLeft, kFloor),
              std::pair(100 - 10 + 50, 230));
    const auto [left, top] =
        at(Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 10, 10, kRight, kBottom);
    EXPECT_GT(left, 0);
    EXPECT_GT(top, 0);
    EXPECT_EQ(at(Rect{0, 0, 0, INT32_MIN}, 10, 10, kRightSide, kFloor).second, INT32_MIN);
}

class Characters : public ::testing::Test {
  protected:
    TagOutcome Enter(const std::string& name, Attributes more = {}) {
        more.insert(more.begin(), {kw::kName, name});
        return rig.controller->EnterTag(Tag(kw::kEnter, more));
    }
    // ENTER at the area's top-left corner.
    void EnterAtCorner(const std::string& name) {
        Enter(name, {{kw::kAlign, "LEFTSIDE"}, {kw::kValign, "ROOF"}});
    }
    TagOutcome Act(const std::string& name, const std::string& src, Attributes more = {}) {
        more.insert(more.begin(), {kw::kSrc, src});
        more.insert(more.begin(), {kw::kName, name});
        return rig.controller->ActTag(Tag(kw::kAct, more));
    }
    TagOutcome Exit(Attributes attributes) {
        return rig.controller->ExitTag(Tag(kw::kExit, std::move(attributes)));
    }
    const Character* Named(const std::string& name) {
        const auto slot = rig.stage.FindByName(name);
        return slot ? &rig.stage.CharacterAt(*slot) : nullptr;
    }
    std::pair<int, int> Where(const std::string& name) {
        return {Named(name)->left, Named(name)->top};
    }
    // True when the tag failed with a message box containing text.
    bool Refused(const TagOutcome& outcome, std::string_view text) {
        return outcome.failed && rig.LastBoxHas(text);
    }
    uint16_t StagePixel(int x, int y) { return rig.StagePixel(x, y); }

    StageRig rig;
};

TEST_F(Characters, EnterThenActStandsOnTheFloor) {
    rig.Picture("a.bmp", 200, 400, 0x00FF00, 0xFF00FF);
    EXPECT_FALSE(Enter("A").failed);
    EXPECT_TRUE(rig.presents.empty());  // ENTER alone shows nothing
    EXPECT_FALSE(Act("A", "a.bmp").failed);
    EXPECT_EQ(Where("A"), std::pair(220, 80));
    EXPECT_EQ(rig.Effects(), std::vector<int>{1});
    EXPECT_EQ(rig.presents[0].time, 40);
    EXPECT_EQ(StagePixel(300, 100), rig.stage.Format().FromColour(0x00FF00));
    EXPECT_EQ(StagePixel(220, 80), 0);  // the automatic key leaves the corner out
}

TEST_F(Characters, LeftAndTopAreRelativeToTheAreaAndPutUsesAnotherCharacter) {
    rig.Picture("a.bmp", 20, 20, 0x00FF00);
    rig.controller->SpaceTag(
        Tag(kw::kSpace,
            {{kw::kLeft, "100"}, {kw::kTop, "50"}, {kw::kWidth, "200"}, {kw::kHeight, "200"}}));
    Enter("A");
    EnterAtCorner("B");
    Act("A", "a.bmp", {{kw::kLeft, "5"}, {kw::kTop, "-7"}});
    EXPECT_EQ(Where("A"), std::pair(105, 43));
    Act("B", "a.bmp", {{kw::kPut, "A"}});
    EXPECT_EQ(Where("B"), std::pair(105, 43));
    EXPECT_TRUE(Refused(Act("B", "a.bmp", {{kw::kPut, "Z"}}), "Character \"Z\" has't enterd."));
}

// The book tests/books/run/stage.talu sees the other ENTER and ACT messages.
TEST_F(Characters, EnterActAndExitReportWhatTheyCannotDo) {
    EXPECT_TRUE(Refused(Enter("A", {{kw::kAlign, "UP"}}), "ALIGN attribut is not found."));
    EXPECT_EQ(Named("A"), nullptr);
    EXPECT_FALSE(Enter("A", {{kw::kValign, "LEFT"}}).failed);  // reported, but A enters
    EXPECT_TRUE(rig.LastBoxHas("VALIGN attribut is not found."));
    Exit({{kw::kName, "A"}, {kw::kMode, "ghost"}});
    EXPECT_EQ(Named("A")->exitPending, 1);
    EXPECT_TRUE(Enter("A").failed);  // the name stays taken while A leaves
    EXPECT_TRUE(Refused(rig.controller->ActTag(Tag(kw::kAct, {{kw::kSrc, "a.bmp"}})),
                        "NAME attribute is not found in <ACT> tag."));
    Enter("B");
    EXPECT_TRUE(Act("B", "missing.bmp").failed);
    EXPECT_FALSE(Named("B")->IsLoaded());
    EXPECT_TRUE(Refused(Exit({{kw::kName, "Q"}}), "Character \"Q\" has't enterd."));
    EXPECT_TRUE(rig.presents.empty());
}

TEST_F(Characters, HalfAlphaBlendsWithTheStage) {
    rig.Picture("a.bmp", 10, 10, 0xF8F8F8);
    EnterAtCorner("A");
    Act("A", "a.bmp", {{kw::kAlpha, "50"}, {kw::kTransparent, "NONE"}});
    EXPECT_EQ(Field(StagePixel(5, 5), rig.stage.Format().red), 15u);  // (31 x 16 + 0 x 16) >> 5
}

TEST_F(Characters, AlphaNamingAFileBecomesTheMaskAndAMissingOneIsReported) {
    rig.Picture("a.bmp", 4, 4, 0xF8F8F8, 0x000000);
    rig.Picture("m.bmp", 4, 4, 0x808080);
    EnterAtCorner("A");
    Act("A", "a.bmp", {{kw::kAlpha, "m.bmp"}});
    const Character* a = Named("A");
    uint32_t key = 0;
    EXPECT_FALSE(a->GetSourceKey(key));  // automatic transparency is off
    ASSERT_EQ(a->mask.size(), 16u);
    EXPECT_EQ(a->mask[5], 128);                                        // (16 + 16 + 16) / 3 x 8
    EXPECT_EQ(Field(StagePixel(1, 1), rig.stage.Format().blue), 15u);  // (31 x 128) >> 8
    EXPECT_EQ(Lines(*a).at(1),
              "<ACT NAME=\"A\" SRC=\"a.bmp\" LEFT=\"0\" TOP=\"0\" WIDTH=\"4\" HEIGHT=\"4\"  "
              "ALPHA=\"m.bmp\"  >");

    EXPECT_FALSE(Act("A", "a.bmp", {{kw::kAlpha, "nomask.bmp"}}).failed);
    EXPECT_TRUE(rig.LastBoxHas("I can't open file \"nomask.bmp\"."));
    EXPECT_TRUE(a->mask.empty());
    EXPECT_TRUE(a->maskSource.empty());
}

TEST_F(Characters, PassModeAndGhostExitWaitForTheNextPresentedChange) {
    rig.Picture("a.bmp", 10, 10, 0xFFFFFF);
    EnterAtCorner("A");
    Act("A", "a.bmp", {{kw::kMode, "pass"}, {kw::kTransparent, "NONE"}});
    EXPECT_TRUE(rig.presents.empty());
    EXPECT_EQ(Named("A")->hidden, 1);
    rig.controller->BackgroundTag(Tag(kw::kBackground, {{kw::kColor, "#000000"}}));
    EXPECT_EQ(Named("A")->hidden, 0);
    EXPECT_NE(StagePixel(1, 1), 0);

    rig.presents.clear();
    Exit({{kw::kName, "A"}, {kw::kMode, "GHOST"}});
    EXPECT_TRUE(rig.presents.empty());
    rig.stage.Recompose();
    EXPECT_NE(StagePixel(1, 1), 0);
    rig.controller->BackgroundTag(Tag(kw::kBackground, {{kw::kColor, "#000000"}}));
    EXPECT_EQ(Named("A"), nullptr);
    EXPECT_EQ(StagePixel(1, 1), 0);
}

TEST_F(Characters, ExitAllClearsEveryoneAndPresentsOnce) {
    rig.Picture("a.bmp", 10, 10, 0xFFFFFF);
    Enter("A", {{kw::kEffect, "EF_ONE_CHAR"}});
    Enter("B");
    Enter("C", {{kw::kEffect, "EF_ONE_CHAR"}});
    Act("A", "a.bmp");
    rig.presents.clear();
    EXPECT_FALSE(Exit({}).failed);
    EXPECT_EQ(rig.stage.FirstActive(), std::nullopt);
    EXPECT_EQ(rig.stage.FindFree(), 0);
    EXPECT_EQ(rig.Effects(), (std::vector<int>{7}));  // the last one cleared: C, one-char
    EXPECT_EQ(rig.presents[0].time, 40);
    Enter("ALL");
    Exit({{kw::kName, "All"}});  // "all" in any case means everyone
    EXPECT_EQ(Named("ALL"), nullptr);
}

TEST_F(Characters, TagTextWritesEnterAndAbsoluteActLines) {
    rig.Picture("a.bmp", 20, 30, 0x00FF00);
    rig.controller->SunglassTag(Tag(kw::kSunglass, {{kw::kColor, "LIGHT"}}));
    Enter("A", {{kw::kAlign, "RIGHT"}, {kw::kValign, "TOP"}, {kw::kAlpha, "70"}});
    Act("A", "a.bmp", {{kw::kTransparent, "#00FF00"}, {kw::kEffect, "EF_FADEIN"}});
    EXPECT_EQ(
        Lines(*Named("A")),
        (std::vector<std::string>{
            "<ENTER NAME=\"A\" ALIGN=\"RIGHT\" VALIGN=\"TOP\" EFFECT=\"EF_NORMAL\" ALPHA=\"70\">",
            "<SUNGLASS COLOR=\"#C8C8C8\">",
            "<ACT NAME=\"A\" SRC=\"a.bmp\" LEFT=\"470\" TOP=\"105\" WIDTH=\"20\" "
            "HEIGHT=\"30\"  ALPHA=\"100\" TRANSPARENT=\"#00FF00\" >",
            "</SUNGLASS>"}));
}

class CharacterDrawing : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(CharacterDrawing, NegativePositionClipsTheSource) {
    const PixelFormat f = GetParam();
    Surface stage = testing::Solid(8, 8, f);
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
    Surface stage = testing::Solid(6, 6, f);
    const uint16_t white = f.FromColour(0xFFFFFF);
    Character c;
    ASSERT_TRUE(c.Create(5, 5, f));
    c.Fill(0xFF00FF);
    c.SetSourceKey(0xFF00FF);
    c.Row(2)[2] = white;  // one opaque pixel in the middle
    c.Draw(stage, true);
    // (2,1) is key with a non-key neighbour: average of white and four black pixels.
    EXPECT_EQ(Field(stage.Row(1)[2], f.red), f.red.max / 5u);
    EXPECT_EQ(stage.Row(2)[2], white);
    EXPECT_EQ(stage.Row(1)[1], 0);  // all neighbours key: untouched
    // Drawn at the stage's corner, pixels without four stage neighbours are left alone.
    Surface small = testing::Solid(2, 2, f);
    c.left = -2;
    c.top = -2;
    c.Draw(small, true);
    EXPECT_EQ(small.Row(0)[0], white);
}

INSTANTIATE_TEST_SUITE_P(Formats, CharacterDrawing, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

}  // namespace
}  // namespace talu::stage
