// The stage's tags through the controller: the change sequence, its presentations and messages;
// the ICON tag and its frame lists with their bookmark lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "pixel_test_support.h"
#include "script/vocabularies.h"
#include "stage/tag_values.h"
#include "stage/wait_icon.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

namespace kw = script::kw;

using testing::Attributes;
using testing::Lines;
using testing::Tag;

class StageTags : public ::testing::Test {
  protected:
    TagOutcome Background(Attributes attributes) {
        return rig.controller->BackgroundTag(Tag(kw::kBackground, std::move(attributes)));
    }
    TagOutcome Space(Attributes attributes) {
        return rig.controller->SpaceTag(Tag(kw::kSpace, std::move(attributes)));
    }
    TagOutcome Curtain(Attributes attributes, bool closing = false) {
        return rig.controller->CurtainTag(Tag(kw::kCurtain, std::move(attributes), closing));
    }
    TagOutcome Stage(Attributes attributes) {
        return rig.controller->StageTag(Tag(kw::kStage, std::move(attributes)));
    }
    uint16_t StagePixel(int x, int y) { return rig.StagePixel(x, y); }
    uint16_t Native(uint32_t colour) { return rig.Native(colour); }

    testing::StageRig rig;
};

TEST_F(StageTags, BackgroundColourFillsPresentsAndWinsOverSource) {
    EXPECT_FALSE(Background({{kw::kSrc, "missing.bmp"}, {kw::kColor, "#FF0000"}}).failed);
    EXPECT_TRUE(rig.boxes.boxes.empty());
    EXPECT_EQ(rig.Effects(), std::vector<int>{-1});
    EXPECT_EQ(rig.presents[0].time, 50);
    EXPECT_EQ(StagePixel(0, 0), Native(0x0000FF));
    EXPECT_EQ(rig.stage.Flags(), 3u | compose::kRebuildWindow);
    std::vector<std::string> lines;
    rig.controller->WriteStageTags(lines);
    EXPECT_EQ(lines.at(0), "<BACKGROUND COLOR=\"#FF0000\">");
    // A colour that does not parse only changes the text.
    Background({{kw::kColor, "green"}});
    EXPECT_EQ(rig.stage.Background().colourText, "green");
    EXPECT_EQ(rig.stage.Background().Row(0)[0], Native(0x0000FF));
}

TEST_F(StageTags, BackgroundPictureLoadsAtItsPositionWithTransparencyAndSize) {
    rig.Picture("bg.bmp", 100, 50, 0x0000FF, 0xFFFFFF);
    EXPECT_FALSE(
        Background(
            {{kw::kSrc, "bg.bmp"}, {kw::kLeft, "10"}, {kw::kTop, "20"}, {kw::kTransparent, "AUTO"}})
            .failed);
    const BackgroundPicture& bg = rig.stage.Background();
    EXPECT_EQ(StagePixel(10, 20), 0);  // the keyed corner at (LEFT, TOP) shows the black stage
    EXPECT_EQ(StagePixel(11, 21), Native(0xFF0000));
    EXPECT_EQ(Lines(bg), std::vector<std::string>{"<BACKGROUND SRC=\"bg.bmp\" WIDTH=\"100\" "
                                                  "HEIGHT=\"50\" TRANSPARENT=\"AUTO\" >"});
    Background({{kw::kSrc, "bg.bmp"}, {kw::kWidth, "50%"}});  // one side scales
    EXPECT_EQ(bg.Width(), 50);
    EXPECT_EQ(bg.Height(), 50);
}

TEST_F(StageTags, MissingBackgroundPictureReportsAndLeavesTheStageBlack) {
    Background({{kw::kColor, "#FFFFFF"}});
    rig.presents.clear();
    EXPECT_TRUE(Background({{kw::kSrc, "none.bmp"}}).failed);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_TRUE(rig.LastBoxHas("I can't open file \"none.bmp\"."));
    EXPECT_TRUE(rig.presents.empty());
    EXPECT_FALSE(rig.stage.Background().IsLoaded());
    rig.stage.Recompose();
    EXPECT_EQ(StagePixel(5, 5), 0);
    EXPECT_TRUE(Lines(rig.stage.Background()).empty());
    // A colour after the failure is seen again, at the stage's size.
    Background({{kw::kColor, "#FFFFFF"}});
    EXPECT_EQ(rig.stage.Background().Width(), 640);
    EXPECT_NE(StagePixel(5, 5), 0);
}

TEST_F(StageTags, ToHeartBackFadesToBlackWithoutCharactersFirst) {
    Background({{kw::kColor, "#FFFFFF"}});
    rig.presents.clear();
    Character& c = rig.stage.CharacterAt(0);
    c.name = "A";
    ASSERT_TRUE(c.Create(4, 4, rig.stage.Format()));
    c.Fill(0xFFFFFF);
    std::vector<uint16_t> seen;
    rig.stage.SetPresentListener([&](const PresentCall& call) {
        rig.presents.push_back(call);
        seen.push_back(StagePixel(1, 1));
    });
    Background({{kw::kColor, "#00FF00"}, {kw::kEffect, "EF_TOHEART_BACK"}});
    EXPECT_EQ(rig.Effects(), (std::vector<int>{1, 1}));
    EXPECT_EQ(rig.presents[0].time, 50);
    // Black first, without the character; then the new background with the character.
    EXPECT_EQ(seen, (std::vector<uint16_t>{0, Native(0xFFFFFF)}));
}

// A shown window fades out first and is forgotten; the settings can switch either effect off.
TEST_F(StageTags, ChangeSequenceFollowsTheEffectSettings) {
    rig.controller->windowShown = 1;
    rig.settings.m_nFadeWait = 55;
    Background({{kw::kColor, "#FFFFFF"}, {kw::kEffect, "EF_FADEIN"}});
    EXPECT_EQ(rig.Effects(), (std::vector<int>{7, 7}));
    EXPECT_EQ(rig.presents[0].time, 33);
    EXPECT_EQ(rig.controller->windowShown, 0);
    rig.settings.m_nFadeEffect = 0;
    rig.controller->windowShown = 1;
    rig.presents.clear();
    Background({{kw::kColor, "#FFFFFF"}});
    EXPECT_EQ(rig.Effects(), (std::vector<int>{0, -1}));
    rig.settings.m_nBackEffect = 0;
    rig.presents.clear();
    Background({{kw::kColor, "#FFFFFF"}, {kw::kEffect, "EF_FADEIN"}});
    EXPECT_EQ(rig.Effects(), (std::vector<int>{0}));
}

TEST_F(StageTags, SpaceSetsThePlacementAreaOrReportsMissingSizes) {
    EXPECT_TRUE(Space({{kw::kHeight, "5"}}).failed);
    EXPECT_TRUE(rig.LastBoxHas("WIDTH attribute is not found in <SPACE>tag"));
    EXPECT_TRUE(Space({{kw::kWidth, "5"}}).failed);
    EXPECT_EQ(rig.controller->PlacementArea(), (Rect{0, 0, 640, 480}));
    Space({{kw::kLeft, "10"}, {kw::kTop, "20"}, {kw::kWidth, "300"}, {kw::kHeight, "200"}});
    EXPECT_EQ(rig.controller->PlacementArea(), (Rect{10, 20, 310, 220}));
    Space({{kw::kWidth, "2147483647"}, {kw::kLeft, "100"}, {kw::kHeight, "1"}});
    EXPECT_EQ(rig.controller->PlacementArea().right, INT32_MAX);
}

TEST_F(StageTags, StageResizesBackgroundTextLayerAndAreaButRefusesAbsurdSizes) {
    EXPECT_TRUE(Stage({{kw::kWidth, "100000"}}).failed);
    EXPECT_TRUE(Stage({{kw::kHeight, "-3"}}).failed);
    EXPECT_EQ(rig.controller->StageWidth(), 640);
    EXPECT_EQ(rig.stage.Background().Width(), 640);
    Space({{kw::kWidth, "5"}, {kw::kHeight, "5"}});
    Background({{kw::kColor, "#FFFFFF"}});
    EXPECT_FALSE(Stage({{kw::kWidth, "320"}, {kw::kHeight, "0"}}).failed);
    EXPECT_EQ(rig.controller->StageWidth(), 320);
    EXPECT_EQ(rig.controller->StageHeight(), 480);
    EXPECT_EQ(rig.controller->PlacementArea(), (Rect{0, 0, 320, 480}));
    EXPECT_EQ(rig.stage.Background().Width(), 320);
    EXPECT_EQ(rig.stage.Background().colourText, "#000000");
    EXPECT_EQ(rig.stage.Background().Row(0)[0], 0);
    EXPECT_EQ(rig.stage.TextLayer().Width(), 320);
    // Too many pixels: the stage stays as it was, its background too.
    Background({{kw::kColor, "#FFFFFF"}});
    EXPECT_TRUE(Stage({{kw::kWidth, "8193"}, {kw::kHeight, "4096"}}).failed);
    EXPECT_EQ(rig.controller->StageWidth(), 320);
    EXPECT_NE(rig.stage.Background().Row(0)[0], 0);
}

TEST_F(StageTags, ChangesInsideACurtainAreShownOnceAtTheCloseAndCurtainsDoNotNest) {
    Curtain({});
    EXPECT_EQ(rig.curtainFlag.load(), 1);
    EXPECT_TRUE(Curtain({}).failed);  // curtains do not nest
    EXPECT_TRUE(rig.controller->CurtainOpen());
    Background({{kw::kColor, "#FFFFFF"}});
    Background({{kw::kColor, "#00FF00"}, {kw::kEffect, "EF_TOHEART_BACK"}});
    EXPECT_TRUE(rig.presents.empty());
    Curtain({{kw::kEffect, "EF_OVERLAP"}, {kw::kWait, "300"}}, true);
    EXPECT_EQ(rig.curtainFlag.load(), 0);
    EXPECT_EQ(rig.Effects(), std::vector<int>{12});
    EXPECT_EQ(rig.presents[0].time, 300);
    EXPECT_EQ(rig.stage.Flags(), 3u | compose::kRebuildWindow);
    // With the window shown, the close composes every layer, in the default time.
    Curtain({});
    rig.controller->windowShown = 1;
    rig.presents.clear();
    Curtain({}, true);
    EXPECT_EQ(rig.stage.Flags(), 0u);
    ASSERT_EQ(rig.presents.size(), 1u);
    EXPECT_EQ(rig.presents[0].time, 50);
}

TEST_F(StageTags, SunglassSetsAndClearsTheFilter) {
    auto sunglass = [&](std::optional<std::string> colour, bool closing = false) {
        Attributes attributes;
        if (colour)
            attributes.emplace_back(kw::kColor, *colour);
        rig.controller->SunglassTag(Tag(kw::kSunglass, attributes, closing));
        return rig.controller->Filter();
    };
    EXPECT_EQ(rig.controller->Filter(), script::kNoColour);
    EXPECT_EQ(sunglass("SEPIA"), 0x1000003u);
    EXPECT_EQ(sunglass("mono"), 0x1000001u);
    EXPECT_EQ(sunglass("#102030"), 0x302010u);
    EXPECT_EQ(sunglass("light"), 0xC8C8C8u);
    EXPECT_EQ(sunglass("nonsense"), 0xC8C8C8u);
    EXPECT_EQ(sunglass(std::nullopt, true), script::kNoColour);
    sunglass("NIGHT");
    EXPECT_EQ(sunglass(std::nullopt), script::kNoColour);
}

TEST_F(StageTags, SunglassFiltersPicturesLoadedLaterAndWritesTheirLines) {
    rig.Picture("bg.bmp", 4, 4, 0xFF0000);
    rig.controller->SunglassTag(Tag(kw::kSunglass, {{kw::kColor, "MONO"}}));
    Background({{kw::kSrc, "bg.bmp"}});
    // (31 + 0 + 0) / 3
    EXPECT_EQ(testing::Field(rig.stage.Background().Row(0)[0], rig.stage.Format().red), 10u);
    EXPECT_EQ(rig.stage.Background().filter, 0x1000001u);
    const std::vector<std::string> lines = Lines(rig.stage.Background());
    EXPECT_EQ(lines,
              (std::vector<std::string>{"<SUNGLASS COLOR=\"MONO\">", lines.at(1), "</SUNGLASS>"}));
}

using testing::StageRig;

// Picture files write 0xRRGGBB.
constexpr uint32_t kFileRed = 0xFF0000;
constexpr uint32_t kFileGreen = 0x00FF00;

class IconTagTest : public ::testing::Test {
  protected:
    IconTagTest() { rig.Picture("a.bmp", 8, 6, kFileRed, kFileGreen); }

    std::optional<bool> Icon(std::vector<std::pair<int, std::string>> attributes,
                             bool closing = false) {
        return rig.controller->IconTag(Tag(kw::kIcon, std::move(attributes), closing), path);
    }

    StageRig rig;
    const std::string path = rig.folder.InsideFolder() + "a.bmp";
};

TEST_F(IconTagTest, AddsLoadableFramesToTheModesListAndWritesThemBack) {
    EXPECT_EQ(Icon({{kw::kSrc, "a.bmp"}, {kw::kTime, "200"}, {kw::kMode, "p"}}), true);
    Icon({{kw::kSrc, "a.bmp"}, {kw::kLeft, "5"}, {kw::kMode, "BR"}});  // no TOP: follows text
    Icon({{kw::kSrc, "a.bmp"}, {kw::kLeft, "5"}, {kw::kTop, "7"}, {kw::kMode, "BR"}});
    EXPECT_EQ(Icon({{kw::kSrc, "a.bmp"}, {kw::kMode, "W"}}),
              true);           // another mode adds nothing
    Icon({{kw::kMode, "P"}});  // nor does a missing SRC
    rig.controller->IconTag(Tag(kw::kIcon, {{kw::kSrc, "gone.bmp"}, {kw::kMode, "P"}}),
                            "Z:\\gone.bmp");  // reported and left out

    ASSERT_EQ(rig.stage.PageIcons().Count(), 1);
    const WaitIconFrame& frame = rig.stage.PageIcons().Frame(0);
    EXPECT_EQ(frame.Width(), 8);
    EXPECT_NE(frame.BlitFlags() & kCopyKeySource, 0u) << "the top-left colour is transparent";
    std::vector<std::string> lines;
    rig.stage.PageIcons().WriteIconTags(lines);
    rig.stage.LineIcons().WriteIconTags(lines);
    EXPECT_THAT(lines,
                ::testing::ElementsAre(
                    "<ICON SRC=\"" + path + "\" TIME=\"200\" MODE=\"P\" >",
                    "<ICON SRC=\"" + path + "\" TIME=\"0\" MODE=\"BR\" >",
                    "<ICON SRC=\"" + path + "\" TIME=\"0\" LEFT=\"5\" TOP=\"7\" MODE=\"BR\" >"));
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_THAT(rig.boxes.boxes[0], ::testing::HasSubstr("I can't open file \"Z:\\gone.bmp\""));
}

TEST_F(IconTagTest, ClosingTagClearsItsModeOnlyOrTurnsIconsOff) {
    Icon({{kw::kSrc, "a.bmp"}, {kw::kMode, "P"}});
    Icon({{kw::kSrc, "a.bmp"}, {kw::kMode, "BR"}});
    EXPECT_EQ(Icon({{kw::kMode, "P"}}, /*closing=*/true), std::nullopt);
    EXPECT_EQ(rig.stage.PageIcons().Count(), 0);
    EXPECT_EQ(rig.stage.LineIcons().Count(), 1);
    EXPECT_EQ(Icon({{kw::kMode, "ALL"}}, /*closing=*/true), false);
    EXPECT_EQ(rig.stage.LineIcons().Count(), 1);
    Icon({{kw::kMode, "BR"}}, /*closing=*/true);
    EXPECT_EQ(rig.stage.LineIcons().Count(), 0);
}

}  // namespace
}  // namespace talu::stage
