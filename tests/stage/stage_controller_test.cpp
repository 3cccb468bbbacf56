// The stage's tags through the controller: the change sequence, its presentations and messages.
#include <gtest/gtest.h>

#include "script/vocabularies.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

using script::kw::kBackground;
using script::kw::kColor;
using script::kw::kEffect;
using script::kw::kHeight;
using script::kw::kLeft;
using script::kw::kSrc;
using script::kw::kTop;
using script::kw::kWidth;
using testing::StageRig;
using testing::Tag;

constexpr int kSpace = 50;
constexpr int kWaitAttr = 30;

TEST(StageStartup, ControllerStartsWithTheWholeStage) {
    StageRig rig;
    EXPECT_EQ(rig.controller->PlacementArea(), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(rig.controller->Flags(), 3u);
    EXPECT_EQ(rig.controller->windowShown, 0);
    EXPECT_EQ(rig.controller->Filter(), script::kNoColour);
}

TEST(BackgroundTag, ColourFillsAndPresentsWithTheBackgroundSettings) {
    StageRig rig;
    const auto out = rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FF0000"}}));
    EXPECT_FALSE(out.failed);
    ASSERT_EQ(rig.presents.size(), 1u);
    EXPECT_EQ(rig.presents[0].effect, -1);
    EXPECT_EQ(rig.presents[0].time, 50);
    EXPECT_EQ(rig.stage.StageSurface().Row(0)[0], rig.stage.Format().FromColour(0x0000FF));
    EXPECT_EQ(rig.stage.Flags(), 3u | compose::kRebuildWindow);
    std::vector<std::string> lines;
    rig.controller->WriteStageTags(lines);
    EXPECT_EQ(lines[0], "<BACKGROUND COLOR=\"#FF0000\">");
}

TEST(BackgroundTag, ColourWinsOverSource) {
    StageRig rig;
    rig.controller->BackgroundTag(Tag(kBackground, {{kSrc, "missing.bmp"}, {kColor, "#00FF00"}}));
    EXPECT_TRUE(rig.boxes.boxes.empty());
    EXPECT_EQ(rig.stage.Background().colourMode, 1);
}

TEST(BackgroundTag, UnparsedColourOnlyChangesTheText) {
    StageRig rig;
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#00FF00"}}));
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "green"}}));
    EXPECT_EQ(rig.stage.Background().colourText, "green");
    EXPECT_EQ(rig.stage.Background().Row(0)[0], rig.stage.Format().FromColour(0x00FF00));
}

TEST(BackgroundTag, PictureLoadsAtItsPositionWithTransparency) {
    StageRig rig;
    rig.Picture("bg.bmp", 100, 50, 0x0000FF, 0xFFFFFF);
    const auto out = rig.controller->BackgroundTag(
        Tag(kBackground,
            {{kSrc, "bg.bmp"}, {kLeft, "10"}, {kTop, "20"}, {script::kw::kTransparent, "AUTO"}}));
    EXPECT_FALSE(out.failed);
    const BackgroundPicture& bg = rig.stage.Background();
    EXPECT_EQ(bg.colourMode, 0);
    EXPECT_EQ(bg.Width(), 100);
    EXPECT_EQ(bg.left, 10);
    EXPECT_EQ(bg.top, 20);
    const Surface& s = rig.stage.StageSurface();
    EXPECT_EQ(s.Row(20)[10], 0);  // the keyed corner shows the black stage
    EXPECT_EQ(s.Row(21)[11], rig.stage.Format().FromColour(0xFF0000));
    std::vector<std::string> lines;
    bg.WriteTags(lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              "<BACKGROUND SRC=\"bg.bmp\" WIDTH=\"100\" HEIGHT=\"50\" "
              "TRANSPARENT=\"AUTO\" >");
}

TEST(BackgroundTag, PercentWidthScalesOneSide) {
    StageRig rig;
    rig.Picture("bg.bmp", 100, 50, 0x0000FF);
    rig.controller->BackgroundTag(Tag(kBackground, {{kSrc, "bg.bmp"}, {kWidth, "50%"}}));
    EXPECT_EQ(rig.stage.Background().Width(), 50);
    EXPECT_EQ(rig.stage.Background().Height(), 50);
}

TEST(BackgroundTag, MissingPictureReportsAndLeavesTheStageBlack) {
    StageRig rig;
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}}));
    rig.presents.clear();
    const auto out = rig.controller->BackgroundTag(Tag(kBackground, {{kSrc, "none.bmp"}}));
    EXPECT_TRUE(out.failed);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_NE(rig.boxes.boxes[0].find("I can't open file \"none.bmp\"."), std::string::npos);
    EXPECT_TRUE(rig.presents.empty());
    EXPECT_FALSE(rig.stage.Background().IsLoaded());
    rig.stage.Recompose();
    EXPECT_EQ(rig.stage.StageSurface().Row(5)[5], 0);
    std::vector<std::string> lines;
    rig.stage.Background().WriteTags(lines);
    EXPECT_TRUE(lines.empty());
    // A colour after the failure is seen again, at the stage's size.
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}}));
    EXPECT_EQ(rig.stage.Background().Width(), 640);
    EXPECT_NE(rig.stage.StageSurface().Row(5)[5], 0);
}

TEST(BackgroundTag, ToHeartBackFadesToBlackWithoutCharactersFirst) {
    StageRig rig;
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}}));
    rig.presents.clear();
    Character& c = rig.stage.CharacterAt(0);
    c.name = "A";
    ASSERT_TRUE(c.Create(4, 4, rig.stage.Format()));
    c.Fill(0xFFFFFF);
    std::vector<uint16_t> seen;
    rig.stage.SetPresentListener([&](const PresentCall& call) {
        rig.presents.push_back(call);
        seen.push_back(rig.stage.StageSurface().Row(1)[1]);
    });
    rig.controller->BackgroundTag(
        Tag(kBackground, {{kColor, "#00FF00"}, {kEffect, "EF_TOHEART_BACK"}}));
    EXPECT_EQ(rig.Effects(), (std::vector<int>{1, 1}));
    EXPECT_EQ(rig.presents[0].time, 50);
    // Black first, without the character; then the new background with the character.
    EXPECT_EQ(seen, (std::vector<uint16_t>{0, rig.stage.Format().FromColour(0xFFFFFF)}));
}

TEST(BackgroundTag, EffectSwitchOffPresentsPlainly) {
    StageRig rig;
    rig.settings.m_nBackEffect = 0;
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}, {kEffect, "EF_FADEIN"}}));
    ASSERT_EQ(rig.presents.size(), 1u);
    EXPECT_EQ(rig.presents[0].effect, 0);
}

TEST(ChangeSequence, ShownWindowFadesOutFirstAndIsForgotten) {
    StageRig rig;
    rig.controller->windowShown = 1;
    rig.settings.m_nFadeWait = 55;
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}, {kEffect, "EF_FADEIN"}}));
    ASSERT_EQ(rig.presents.size(), 2u);
    EXPECT_EQ(rig.presents[0].effect, 7);
    EXPECT_EQ(rig.presents[0].time, 33);
    EXPECT_EQ(rig.presents[1].effect, 7);
    EXPECT_EQ(rig.controller->windowShown, 0);
    rig.settings.m_nFadeEffect = 0;
    rig.controller->windowShown = 1;
    rig.presents.clear();
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}}));
    EXPECT_EQ(rig.Effects(), (std::vector<int>{0, -1}));
}

TEST(SpaceTag, SetsThePlacementArea) {
    StageRig rig;
    rig.controller->SpaceTag(
        Tag(kSpace, {{kLeft, "10"}, {kTop, "20"}, {kWidth, "300"}, {kHeight, "200"}}));
    EXPECT_EQ(rig.controller->PlacementArea(), (Rect{10, 20, 310, 220}));
    rig.controller->SpaceTag(Tag(kSpace, {{kWidth, "2147483647"}, {kLeft, "100"}, {kHeight, "1"}}));
    EXPECT_EQ(rig.controller->PlacementArea().right, INT32_MAX);
}

TEST(SpaceTag, MissingSizesReportErrors14And15) {
    StageRig rig;
    EXPECT_TRUE(rig.controller->SpaceTag(Tag(kSpace, {{kHeight, "5"}})).failed);
    EXPECT_TRUE(rig.controller->SpaceTag(Tag(kSpace, {{kWidth, "5"}})).failed);
    ASSERT_EQ(rig.boxes.boxes.size(), 2u);
    EXPECT_NE(rig.boxes.boxes[0].find("WIDTH attribute is not found in <SPACE>tag"),
              std::string::npos);
    EXPECT_NE(rig.boxes.boxes[1].find("HEIGHT attribute is not found in <SPACE>tag"),
              std::string::npos);
    EXPECT_EQ(rig.controller->PlacementArea(), (Rect{0, 0, 640, 480}));
}

TEST(StageTag, ResizesBackgroundTextLayerAndArea) {
    StageRig rig;
    rig.controller->SpaceTag(Tag(kSpace, {{kWidth, "5"}, {kHeight, "5"}}));
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}}));
    const auto out = rig.controller->StageTag(Tag(8, {{kWidth, "320"}, {kHeight, "0"}}));
    EXPECT_EQ(out.code, 8);
    EXPECT_EQ(rig.controller->StageWidth(), 320);
    EXPECT_EQ(rig.controller->StageHeight(), 480);
    EXPECT_EQ(rig.controller->PlacementArea(), (Rect{0, 0, 320, 480}));
    EXPECT_EQ(rig.stage.Background().Width(), 320);
    EXPECT_EQ(rig.stage.Background().colourText, "#000000");
    EXPECT_EQ(rig.stage.Background().Row(0)[0], 0);
    EXPECT_EQ(rig.stage.TextLayer().Width(), 320);
}

TEST(StageTag, AbsurdSizeFailsAndKeepsTheStage) {
    StageRig rig;
    EXPECT_TRUE(rig.controller->StageTag(Tag(8, {{kWidth, "100000"}})).failed);
    EXPECT_TRUE(rig.controller->StageTag(Tag(8, {{kHeight, "-3"}})).failed);
    EXPECT_EQ(rig.controller->StageWidth(), 640);
    EXPECT_EQ(rig.stage.Background().Width(), 640);
}

TEST(CurtainTag, ChangesInsideAreShownOnceAtTheClose) {
    StageRig rig;
    rig.controller->CurtainTag(Tag(script::kw::kCurtain, {}));
    EXPECT_EQ(rig.curtainFlag.load(), 1);
    EXPECT_TRUE(rig.controller->CurtainOpen());
    rig.controller->BackgroundTag(Tag(kBackground, {{kColor, "#FFFFFF"}}));
    rig.controller->BackgroundTag(
        Tag(kBackground, {{kColor, "#00FF00"}, {kEffect, "EF_TOHEART_BACK"}}));
    EXPECT_TRUE(rig.presents.empty());
    rig.controller->CurtainTag(
        Tag(script::kw::kCurtain, {{kEffect, "EF_OVERLAP"}, {kWaitAttr, "300"}}, true));
    EXPECT_EQ(rig.curtainFlag.load(), 0);
    ASSERT_EQ(rig.presents.size(), 1u);
    EXPECT_EQ(rig.presents[0].effect, 12);
    EXPECT_EQ(rig.presents[0].time, 300);
    EXPECT_EQ(rig.stage.Flags(), 3u | compose::kRebuildWindow);
}

TEST(CurtainTag, ClosingWithTheWindowShownComposesEveryLayer) {
    StageRig rig;
    rig.controller->CurtainTag(Tag(script::kw::kCurtain, {}));
    rig.controller->windowShown = 1;
    rig.controller->CurtainTag(Tag(script::kw::kCurtain, {}, true));
    EXPECT_EQ(rig.stage.Flags(), 0u);
    ASSERT_EQ(rig.presents.size(), 1u);
    EXPECT_EQ(rig.presents[0].time, 50);
}

TEST(CurtainTag, NestingReportsError24) {
    StageRig rig;
    rig.controller->CurtainTag(Tag(script::kw::kCurtain, {}));
    EXPECT_TRUE(rig.controller->CurtainTag(Tag(script::kw::kCurtain, {})).failed);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_NE(rig.boxes.boxes[0].find("Can not nest CURTAIN Tag."), std::string::npos);
    EXPECT_TRUE(rig.controller->CurtainOpen());
}

TEST(SunglassTag, SetsAndClearsTheFilter) {
    StageRig rig;
    auto sunglass = [&](std::optional<std::string> colour, bool closing = false) {
        std::vector<std::pair<int, std::string>> attributes;
        if (colour)
            attributes.emplace_back(kColor, *colour);
        rig.controller->SunglassTag(Tag(script::kw::kSunglass, attributes, closing));
        return rig.controller->Filter();
    };
    EXPECT_EQ(sunglass("SEPIA"), 0x1000003u);
    EXPECT_EQ(sunglass("mono"), 0x1000001u);
    EXPECT_EQ(sunglass("#102030"), 0x302010u);
    EXPECT_EQ(sunglass("light"), 0xC8C8C8u);
    EXPECT_EQ(sunglass("nonsense"), 0xC8C8C8u);
    EXPECT_EQ(sunglass(std::nullopt, true), script::kNoColour);
    sunglass("NIGHT");
    EXPECT_EQ(sunglass(std::nullopt), script::kNoColour);
}

TEST(SunglassTag, FiltersPicturesLoadedLaterAndWritesTheirLines) {
    StageRig rig;
    rig.Picture("bg.bmp", 4, 4, 0xFF0000);
    rig.controller->SunglassTag(Tag(script::kw::kSunglass, {{kColor, "MONO"}}));
    rig.controller->BackgroundTag(Tag(kBackground, {{kSrc, "bg.bmp"}}));
    const PixelFormat& f = rig.stage.Format();
    const uint16_t pixel = rig.stage.Background().Row(0)[0];
    EXPECT_EQ((pixel & f.red.mask) >> f.red.shift, 10u);  // (31 + 0 + 0) / 3
    EXPECT_EQ(rig.stage.Background().filter, 0x1000001u);
    std::vector<std::string> lines;
    rig.stage.Background().WriteTags(lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "<SUNGLASS COLOR=\"MONO\">");
    EXPECT_EQ(lines[2], "</SUNGLASS>");
}

}  // namespace
}  // namespace talu::stage
