// The bookmark snapshot: stage geometry, the stage's lines, the window's lines, the filter.
#include "interp/state_snapshot.h"

#include <gtest/gtest.h>

#include "interp/interp_test_support.h"
#include "script/keywords.h"

namespace talu::interp {
namespace {

using test::Tag;

class Snapshot : public ::testing::Test {
  protected:
    Snapshot() {
        EXPECT_TRUE(stage_.Create());
        stage::StageServices services;
        services.stage = &stage_;
        controller_ = std::make_unique<stage::StageController>(services);
        sources_.controller = controller_.get();
    }

    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        WriteSnapshot(sources_, lines);
        return lines;
    }

    stage::Stage stage_;
    std::unique_ptr<stage::StageController> controller_;
    SnapshotSources sources_;
};

TEST_F(Snapshot, SpaceLineOnlyForAPartialArea) {
    controller_->SpaceTag(Tag(script::kw::kSpace, {{script::kw::kLeft, "10"},
                                                   {script::kw::kTop, "20"},
                                                   {script::kw::kWidth, "300"},
                                                   {script::kw::kHeight, "200"}}));
    auto lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "<SPACE TOP=\"20\" LEFT=\"10\" WIDTH=\"300\" HEIGHT=\"200\" >");

    controller_->SpaceTag(
        Tag(script::kw::kSpace, {{script::kw::kWidth, "640"}, {script::kw::kHeight, "480"}}));
    EXPECT_EQ(Lines()[1], "<BACKGROUND COLOR=\"#000000\">");

    controller_->SpaceTag(
        Tag(script::kw::kSpace, {{script::kw::kWidth, "5"}, {script::kw::kHeight, "5"}}));
    controller_->StageTag(
        Tag(script::kw::kStage, {{script::kw::kWidth, "320"}, {script::kw::kHeight, "240"}}));
    lines = Lines();
    EXPECT_EQ(lines[0], "<STAGE WIDTH=\"320\" HEIGHT=\"240\">");
    EXPECT_EQ(lines[1], "<BACKGROUND COLOR=\"#000000\">");
}

TEST_F(Snapshot, WindowLinesFollowTheStageAndTheFilterComesLast) {
    stage_.SetWindowLineWriter([](std::vector<std::string>& l) { l.push_back("<FRAME>"); });
    sources_.windowLines = [](std::vector<std::string>& l) { l.push_back("<FONT>"); };
    controller_->SunglassTag(Tag(script::kw::kSunglass, {{script::kw::kColor, "light"}}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"<STAGE WIDTH=\"640\" HEIGHT=\"480\">",
                                                 "<BACKGROUND COLOR=\"#000000\">", "<FRAME>", "",
                                                 "<FONT>", "<SUNGLASS COLOR=\"#C8C8C8\">"}));
    controller_->SunglassTag(Tag(script::kw::kSunglass, {{script::kw::kColor, "SEPIA"}}));
    EXPECT_EQ(Lines().back(), "<SUNGLASS COLOR=\"SEPIA\">");
}

TEST(PluginTags, OneLinePerRegisteredPluginInOrder) {
    std::vector<std::string> lines;
    WritePluginTags({}, lines);
    EXPECT_TRUE(lines.empty());
    const std::vector<std::string> registered = {"PNG\tIFPNG.SPI", "broken", "LZH\tAXLZH.SPI"};
    WritePluginTags(registered, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"<PLUGIN SRC=\"PNG\" NAME=\"IFPNG.SPI\">",
                                               "<PLUGIN SRC=\"LZH\" NAME=\"AXLZH.SPI\">"}));
}

}  // namespace
}  // namespace talu::interp
