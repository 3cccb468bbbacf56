#include "interp/interpreter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/interp_test_support.h"
#include "interp/state_snapshot.h"
#include "script/keywords.h"
#include "stage/picture_test_support.h"
#include "support/interpreter_rig.h"
#include "support/repeat.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

/// One interpreter on a headless display, with the player's hooks counted.
class InterpreterTest : public ::testing::Test {
  protected:
    test::InterpreterRig rig;
    test::RecordedBoxes& boxes = rig.boxes;
    host::VirtualClock& clock = rig.clock;
    interp::ClickFlags clicks{};
    bool fastForward = false;
    int stageFailures = 0;
    EngineSettings engine;
    std::unique_ptr<Interpreter> interpreter;

    void SetUp() override {
        InterpreterServices services = rig.Services(clicks);
        services.readSettings = [this](EngineSettings& settings) { settings = engine; };
        services.fastForward = [this] { return fastForward; };
        services.onStageFailure = [this] { ++stageFailures; };
        interpreter = std::make_unique<Interpreter>(std::move(services));
    }

    void Open(std::string_view text) { ASSERT_TRUE(interpreter->Open(rig.WriteBook(text))); }

    /// Steps until the result is not 1; the record of that step is kept in last.
    int Run(int maxSteps = 1000) {
        for (int i = 0; i < maxSteps; ++i) {
            last.Clear();
            int result = interpreter->Step(last);
            if (result != step::kGoOn) {
                return result;
            }
        }
        return step::kGoOn;
    }

    /// One step, its record kept in last.
    int Step() { return Run(1); }

    int LastCommand() const {
        int command = 0;
        last.GetCommand(command);
        return command;
    }

    script::TagRecord last;
};

TEST_F(InterpreterTest, ALongRunFillsThePageAndGoesOnAfterTheClick) {
    Open(test::Repeat(test::kA, 600) + "<P>");
    EXPECT_EQ(Run(), step::kPageWait);
    EXPECT_EQ(LastCommand(), kw::kText);  // the text run itself overflowed
    EXPECT_EQ(Step(), step::kGoOn);       // new page
    EXPECT_EQ(Step(), step::kPageWait);   // the rest still fills a page
    EXPECT_EQ(LastCommand(), kw::kP);
}

TEST_F(InterpreterTest, TimedWaitsSleepUnlessFastForwardingAndAreSkippedBehindACurtain) {
    Open("<W TIME=\"500\"><W TIME=\"abc\"><W TIME=\"70\"><W><W><BR><P>x");
    clock.ClearSleeps();
    EXPECT_EQ(Step(), step::kGoOn);
    EXPECT_EQ(Step(), step::kGoOn);
    fastForward = true;
    EXPECT_EQ(Step(), step::kGoOn);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{500, 0}));
    EXPECT_EQ(Step(), step::kClickWait);
    fastForward = false;
    clicks[3] = 1;  // a curtain is open
    EXPECT_EQ(Run(3), step::kGoOn);
    EXPECT_EQ(Step(), step::kGoOn);  // P still clears the page
}

TEST_F(InterpreterTest, AFailedStageTagReportsAndGoesOnAndWithoutGraphicsStageTagsAreSkipped) {
    Open("<BACKGROUND SRC=\"missing.bmp\">after<TRAP><BACKGROUND SRC=\"missing.bmp\"><ENTER><END>");
    EXPECT_EQ(Run(), step::kTrap);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].find("I can't open file"), std::string::npos);
    EXPECT_EQ(stageFailures, 1);
    engine.useGpx = 0;
    EXPECT_EQ(Run(), step::kEndTag);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(stageFailures, 1);
    EXPECT_EQ(Run(), step::kBookEnd);
}

// A stage of more pixels than a picture may have is refused with a box and does not reach the
// window: only the STAGE that changed the stage is handed on.
TEST_F(InterpreterTest, AStageTooLargeIsRefusedAndLeavesTheWindowAlone) {
    Open("<STAGE WIDTH=\"16000\" HEIGHT=\"16000\"><STAGE WIDTH=\"800\"><END>");
    EXPECT_EQ(Run(), step::kStageSize);
    EXPECT_EQ(last.AttributeText(kw::kWidth), "800");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].find("Stage size 16000x16000 is too large"), std::string::npos);
    EXPECT_EQ(stageFailures, 1);
}

// BACKGROUND and ACT take FOLDER like every file attribute, and relative pictures follow the
// book file being read into another folder.
TEST_F(InterpreterTest, PicturesResolveWithFolderAndFollowAJumpIntoAnotherFolder) {
    const auto bmp =
        stage::testing::MakeBmp(stage::testing::Bmp24(2, 2, [](int, int) { return 0x336699u; }));
    for (const char* name : {"chars/girl.bmp", "sub/night.bmp", "sub/chars/boy.bmp"}) {
        rig.dir.Write(name, std::string(bmp.begin(), bmp.end()));
    }
    rig.dir.Write("sub/chap2.talu",
                  "<A NAME=\"start\"><BACKGROUND SRC=\"night.bmp\">"
                  "<ACT NAME=\"g\" SRC=\"boy.bmp\" FOLDER=\"chars\"><END>");
    Open(
        "<ENTER NAME=\"g\"><ACT NAME=\"g\" SRC=\"girl.bmp\" FOLDER=\"chars\" ALPHA=\"girl.bmp\">"
        "<QUESTION ANSWER=\"(1=1)\" HREF=\"sub\\chap2.talu#start\">");
    EXPECT_EQ(Run(), 33);
    EXPECT_EQ(boxes.shown, std::vector<std::string>{});
    EXPECT_EQ(stageFailures, 0);
    EXPECT_TRUE(rig.stage.Background().IsLoaded());
    EXPECT_EQ(rig.stage.Background().source, rig.dir.Inside("sub/night.bmp"));
}

TEST_F(InterpreterTest, PluginTagsAreRegisteredForBookmarks) {
    Open("<PLUGIN SRC=\"png\" NAME=\"ifpng.spi\"><PLUGIN NAME=\"x\">");
    Run();
    EXPECT_EQ(interpreter->RegisteredPlugins(), (std::vector<std::string>{"PNG\tIFPNG.SPI"}));
    EXPECT_EQ(boxes.shown.size(), 1u);  // the PLUGIN without SRC
}

TEST_F(InterpreterTest, FormsAreBuiltOnTheWorkerAtTheVisiblePen) {
    engine.text.m_nTextEffect = 1;
    Open("Hi<FORM>Name: <INPUT NAME=\"who\"><INPUT TYPE=\"radio\" NAME=\"r\"></FORM>Typed.");
    EXPECT_EQ(Step(), step::kGoOn);  // opens the window, typing with delays
    EXPECT_FALSE(clock.Sleeps().empty());
    clock.ClearSleeps();
    std::vector<int> results;
    while (!(results.size() > 1 && results.back() == step::kForm)) {  // up to /FORM
        results.push_back(Step());
    }
    EXPECT_EQ(results, (std::vector<int>{step::kForm, step::kGoOn, step::kInput, step::kInput,
                                         step::kForm}));
    EXPECT_TRUE(clock.Sleeps().empty());  // text in a form is written at once

    Form* form = interpreter->CurrentForm();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->Controls().size(), 2u);  // both INPUTs, taken one after the other
    const TextLayout& layout = interpreter->Window().Layout();
    const stage::Rect field = form->Controls()[0].rect;
    EXPECT_GT(field.left, layout.window.left);  // after "Name: "
    EXPECT_EQ(form->Controls()[1].rect.left, field.right + layout.height / 2 - 8);
    EXPECT_EQ(layout.penX, field.right + layout.height);
    EXPECT_EQ(form->Controls()[0].font.height, layout.height);

    interpreter->ShowForm();
    EXPECT_EQ(interpreter->FormCommand(kFirstFormCommand + 2), 0);
    interpreter->CloseForm();
    EXPECT_EQ(interpreter->CurrentForm(), nullptr);
    EXPECT_EQ(Step(), step::kGoOn);
    EXPECT_FALSE(clock.Sleeps().empty());  // the typing delay is back
}

TEST_F(InterpreterTest, BookmarksKeepIconsCursorAndTitle) {
    stage::Surface icon;
    ASSERT_TRUE(icon.Create(4, 4, rig.stage.Format()));
    ASSERT_TRUE(icon.WriteBmp(rig.dir.Path() / "i.bmp"));
    rig.dir.Write("hand.cur", "cursor");
    std::vector<std::string> lines;
    interpreter->WriteReaderState(lines);
    EXPECT_TRUE(lines.empty());  // nothing set yet

    InterpreterServices services = rig.Services(clicks);
    services.loadCursor = [](const std::string& path) { return path.ends_with("hand.cur"); };
    interpreter = std::make_unique<Interpreter>(std::move(services));
    Open(
        "<ICON SRC=\"i.bmp\" TIME=\"200\" MODE=\"P\"><CURSOR SRC=\"gone.cur\">"
        "<ICON SRC=\"i.bmp\" LEFT=\"3\" TOP=\"4\" MODE=\"BR\"><CURSOR SRC=\"hand.cur\">"
        "<TITLE ALT=\"Tale\"><CURSOR SRC=\"gone.cur\"><END>");
    Run();
    interpreter->WriteReaderState(lines);
    const std::string line = "<ICON SRC=\"" + rig.dir.InsideFolder() + "i.bmp\" TIME=";
    EXPECT_EQ(
        lines,
        (std::vector<std::string>{
            line + "\"0\" LEFT=\"3\" TOP=\"4\" MODE=\"BR\" >", line + "\"200\" MODE=\"P\" >",
            "<CURSOR SRC=\"" + rig.dir.InsideFolder() + "hand.cur\">", "<TITLE ALT=\"Tale\">"}));
}

TEST_F(InterpreterTest, InputOutsideAFormIsAScriptError) {
    Open("<INPUT NAME=\"x\"></FORM><TRAP>");
    EXPECT_EQ(Step(), step::kInput);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].find("<FORM> tag is necessary"), std::string::npos);
    EXPECT_EQ(interpreter->CurrentForm(), nullptr);
    EXPECT_EQ(Run(), step::kTrap);  // a stray /FORM does not wait for a form
}

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
    controller_->SpaceTag(test::Tag(
        kw::kSpace,
        {{kw::kLeft, "10"}, {kw::kTop, "20"}, {kw::kWidth, "300"}, {kw::kHeight, "200"}}));
    auto lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "<SPACE TOP=\"20\" LEFT=\"10\" WIDTH=\"300\" HEIGHT=\"200\" >");

    controller_->SpaceTag(test::Tag(kw::kSpace, {{kw::kWidth, "640"}, {kw::kHeight, "480"}}));
    EXPECT_EQ(Lines()[1], "<BACKGROUND COLOR=\"#000000\">");

    controller_->SpaceTag(test::Tag(kw::kSpace, {{kw::kWidth, "5"}, {kw::kHeight, "5"}}));
    controller_->StageTag(test::Tag(kw::kStage, {{kw::kWidth, "320"}, {kw::kHeight, "240"}}));
    lines = Lines();
    EXPECT_EQ(lines[0], "<STAGE WIDTH=\"320\" HEIGHT=\"240\">");
    EXPECT_EQ(lines[1], "<BACKGROUND COLOR=\"#000000\">");
}

// The stage: its background, the window's frame, then the characters.
TEST_F(Snapshot, WindowLinesFollowTheStageAndTheFilterComesLast) {
    stage_.SetWindowLineWriter([](std::vector<std::string>& l) { l.push_back("<FRAME>"); });
    sources_.windowLines = [](std::vector<std::string>& l) { l.push_back("<FONT>"); };
    controller_->SunglassTag(test::Tag(kw::kSunglass, {{kw::kColor, "light"}}));
    stage_.CharacterAt(5).name = "A";
    stage_.CharacterAt(5).align = kw::kCenter;
    stage_.CharacterAt(5).valign = kw::kFloor;
    stage_.CharacterAt(5).effect = 1;
    EXPECT_EQ(
        Lines(),
        (std::vector<std::string>{
            "<STAGE WIDTH=\"640\" HEIGHT=\"480\">", "<BACKGROUND COLOR=\"#000000\">", "<FRAME>", "",
            "<ENTER NAME=\"A\" ALIGN=\"CENTER\" VALIGN=\"FLOOR\" EFFECT=\"EF_NORMAL\" "
            "ALPHA=\"100\">",
            "<FONT>", "<SUNGLASS COLOR=\"#C8C8C8\">"}));
    controller_->SunglassTag(test::Tag(kw::kSunglass, {{kw::kColor, "SEPIA"}}));
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
