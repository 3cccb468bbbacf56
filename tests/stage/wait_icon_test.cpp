// The ICON tag and the frame lists with their bookmark lines; the wait icon's own test
// (wait_icon_animator_test.cpp) times, places, draws and erases the frames.
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
}

}  // namespace
}  // namespace talu::stage
