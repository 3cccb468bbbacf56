// The ICON tag, the frame lists with their bookmark lines, and drawing frames on the screen.
#include "stage/wait_icon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stage/tag_values.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

using testing::StageRig;
using testing::Tag;
namespace kw = script::kw;

// Picture files write 0xRRGGBB; the engine keeps red in the low byte.
constexpr uint32_t kFileRed = 0xFF0000;
constexpr uint32_t kFileGreen = 0x00FF00;
constexpr uint32_t kEngineRed = 0x0000FF;

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
    EXPECT_EQ(Icon({{kw::kSrc, "a.bmp"}, {kw::kTime, "200"}, {script::kw::kMode, "p"}}), true);
    Icon({{kw::kSrc, "a.bmp"},
          {kw::kLeft, "5"},
          {script::kw::kMode, "BR"}});  // no TOP: follows text
    Icon({{kw::kSrc, "a.bmp"}, {kw::kLeft, "5"}, {kw::kTop, "7"}, {script::kw::kMode, "BR"}});
    EXPECT_EQ(Icon({{kw::kSrc, "a.bmp"}, {script::kw::kMode, "W"}}),
              true);                   // another mode adds nothing
    Icon({{script::kw::kMode, "P"}});  // nor does a missing SRC
    rig.controller->IconTag(Tag(kw::kIcon, {{kw::kSrc, "gone.bmp"}, {script::kw::kMode, "P"}}),
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
    Icon({{kw::kSrc, "a.bmp"}, {script::kw::kMode, "P"}});
    Icon({{kw::kSrc, "a.bmp"}, {script::kw::kMode, "BR"}});
    EXPECT_EQ(Icon({{script::kw::kMode, "P"}}, /*closing=*/true), std::nullopt);
    EXPECT_EQ(rig.stage.PageIcons().Count(), 0);
    EXPECT_EQ(rig.stage.LineIcons().Count(), 1);
    EXPECT_EQ(Icon({{script::kw::kMode, "ALL"}}, /*closing=*/true), false);
    EXPECT_EQ(rig.stage.LineIcons().Count(), 1);
}

TEST_F(IconTagTest, FramesAreTimedPlacedDrawnAndErased) {
    Icon({{kw::kSrc, "a.bmp"},
          {kw::kTime, "200"},
          {kw::kLeft, "10"},
          {kw::kTop, "20"},
          {script::kw::kMode, "P"}});
    Icon({{kw::kSrc, "a.bmp"}, {script::kw::kMode, "P"}});
    const WaitIconList& icon = rig.stage.PageIcons();
    EXPECT_FALSE(FrameDue(icon.Frame(0), 200));
    EXPECT_TRUE(FrameDue(icon.Frame(0), 210));
    EXPECT_FALSE(FrameDue(icon.Frame(1), 100000)) << "TIME 0 stays for ever";
    EXPECT_EQ(FrameRect(icon.Frame(0), Point{300, 400}), (Rect{10, 20, 18, 26}));
    EXPECT_EQ(FrameRect(icon.Frame(1), Point{300, 400}), (Rect{300, 400, 308, 406}));

    rig.stage.Present(std::nullopt, 0, 0);
    Surface before;
    Surface after;
    rig.screen.CopyOut(before);
    DrawFrame(rig.screen, icon.Frame(0), Rect{630, 470, 638, 476});
    rig.screen.CopyOut(after);
    EXPECT_EQ(after.Row(471)[631], after.NativeColour(kEngineRed));
    EraseFrame(rig.stage, std::nullopt);
    rig.screen.CopyOut(after);
    EXPECT_EQ(after.EncodeBmp(), before.EncodeBmp());

    rig.stage.ReleaseIconSurfaces();
    EXPECT_FALSE(icon.Frame(0).IsLoaded());
}

}  // namespace
}  // namespace talu::stage
