#include "interp/message_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "script/messages.h"
#include "stage/extension_map.h"
#include "stage/picture_test_support.h"
#include "stage/plugin_list.h"
#include "stage/screen.h"
#include "stage/stage.h"
#include "support/repeat.h"

namespace talu::interp {
namespace {

using stage::testing::BmpLayout;
using stage::testing::MakeBmp;
using stage::testing::WriteFile;

const std::string kA = "\x82\xA0";  // あ
constexpr int kTagFont = 22;
constexpr int kTagScreen = 21;
constexpr int kTagWindow = 24;
constexpr int kAttrSkip = 71;
constexpr int kAttrAlpha = 73;
constexpr int kAttrMode = 82;
constexpr int kAttrShut = 93;
constexpr int kAttrSize = 94;

script::TagRecord Tag(int id, std::vector<std::pair<int, std::string>> attributes = {},
                      bool closing = false) {
    script::TagRecord tag;
    tag.SetCommand(id);
    for (const auto& [key, value] : attributes) {
        tag.AddAttribute(key, value);
    }
    if (closing) {
        tag.MarkClosing();
    }
    return tag;
}

using test::Repeat;

// A 24-bit BMP of one colour (0xRRGGBB as written in files: blue, green, red bytes).
std::vector<uint8_t> SolidBmp(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    const int stride = (width * 3 + 3) / 4 * 4;
    layout.pixels.assign(static_cast<std::size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &layout.pixels[static_cast<std::size_t>(y) * stride + x * 3];
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
    return MakeBmp(layout);
}

class Window : public ::testing::TestWithParam<stage::PixelFormat> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(screen.Create(GetParam()));
        stage = std::make_unique<stage::Stage>(GetParam());
        ASSERT_TRUE(stage->Create());
        stage::StageOutput output;
        output.screen = &screen;
        output.effects.clock = &clock;
        stage->SetOutput(output);
        stage->SetPresentListener([this](const stage::PresentCall& c) { presents.push_back(c); });

        stage::PictureServices pictures;
        pictures.plugins = &plugins;
        pictures.extensions = &extensions;
        pictures.diagnostics = &diagnostics;
        pictures.format = GetParam();
        pictures.bookFolder = folder.Inside();
        loader = std::make_unique<stage::PictureLoader>(std::move(pictures));

        stage::StageServices stageServices;
        stageServices.stage = stage.get();
        stageServices.loader = loader.get();
        stageServices.settings = &settings;
        stageServices.diagnostics = &diagnostics;
        stageServices.curtainFlag = &curtain;
        controller = std::make_unique<stage::StageController>(stageServices);

        links.colour = 0x505050;
        MessageWindowServices services;
        services.display = &display;
        services.linkSet = &links;
        services.controller = controller.get();
        services.loader = loader.get();
        services.diagnostics = &diagnostics;
        services.textSettings = &text;
        services.clock = &clock;
        services.click = &click;
        window = std::make_unique<MessageWindow>(std::move(services));
    }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteFile(folder.Path() / name, bytes);
    }

    // Number of text-coloured pixels of surface inside rect.
    static int Count(const stage::Surface& surface, const stage::Rect& rect, uint32_t colour) {
        const uint32_t value = surface.NativeColour(colour);
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                n += surface.Row(y)[x] == value;
            }
        }
        return n;
    }

    stage::testing::ScratchFolder folder;
    stage::Screen screen;
    host::VirtualClock clock;
    std::unique_ptr<stage::Stage> stage;
    std::vector<stage::PresentCall> presents;
    stage::PluginList plugins;
    stage::ExtensionMap extensions;
    stage::testing::RecordingBoxes boxes;
    script::Diagnostics diagnostics{boxes, script::kLangEnglish};
    std::unique_ptr<stage::PictureLoader> loader;
    stage::StageSettings settings;
    std::atomic<int> curtain{0};
    std::atomic<int> click{0};
    std::unique_ptr<stage::StageController> controller;
    MessageDisplay display;
    TextLayout links;
    TextSettings text;
    std::unique_ptr<MessageWindow> window;
};

// --- SCREEN ---

TEST_P(Window, ScreenWithoutAttributesCoversTheDefaultArea) {
    controller->textShutMask = 0;
    EXPECT_EQ(window->ScreenTag(Tag(kTagScreen)), 1);
    EXPECT_EQ(display.layout.window, (stage::Rect{0, 0, 600, 440}));
    EXPECT_EQ(display.layout.penX, 0);
    EXPECT_EQ(display.layout.penY, 0);
    EXPECT_EQ(display.layout.shutMode, kShutAuto);
    EXPECT_EQ(controller->textShutMask, 1u);
    EXPECT_EQ(links.window, display.layout.window);
}

TEST_P(Window, ScreenShutNoneKeepsTheTextOnStageChanges) {
    window->ScreenTag(
        Tag(kTagScreen, {{68, "10"}, {67, "300"}, {69, "620"}, {70, "170"}, {kAttrShut, "none"}}));
    EXPECT_EQ(display.layout.window, (stage::Rect{10, 300, 630, 470}));
    EXPECT_EQ(display.layout.shutMode, kShutNone);
    EXPECT_EQ(controller->textShutMask, 0u);
}

// --- FONT ---

TEST_P(Window, TheFirstFontOfABookIsTheBaseThatUserReturnsTo) {
    window->FontTag(Tag(kTagFont, {{70, "20"}}));
    EXPECT_TRUE(window->BaseFontTaken());
    EXPECT_EQ(display.layout.baseHeight, 20);
    EXPECT_EQ(links.baseHeight, 20);
    window->FontTag(Tag(kTagFont, {{70, "33"}, {62, "IPAGothic"}}));
    EXPECT_EQ(display.layout.baseHeight, 20);  // only the first FONT sets the base
    EXPECT_EQ(display.layout.height, 33);
    window->FontTag(Tag(kTagFont, {{70, "USER"}, {62, "user"}}));
    EXPECT_EQ(display.layout.height, 20);
    EXPECT_EQ(links.height, 20);
    EXPECT_EQ(display.layout.face, std::string(kDefaultFace));
}

TEST_P(Window, FaceComesFromSrcOrElseFace) {
    window->FontTag(Tag(kTagFont, {{87, "IPAGothic"}}));
    EXPECT_EQ(display.layout.face, "IPAGothic");
    window->FontTag(Tag(kTagFont, {{62, "IPAMincho"}, {87, "IPAGothic"}}));
    EXPECT_EQ(display.layout.face, "IPAMincho");
}

TEST_P(Window, SizeAddsToHeightAndSkipOfBothLayouts) {
    window->FontTag(Tag(kTagFont, {{kAttrSize, "+4"}}));
    EXPECT_EQ(display.layout.height, 31);
    EXPECT_EQ(display.layout.skip, 34);
    EXPECT_EQ(links.height, 31);
    window->FontTag(Tag(kTagFont, {{kAttrSize, "-2"}}));
    EXPECT_EQ(display.layout.height, 29);
    window->FontTag(Tag(kTagFont, {{kAttrSize, "4"}}));
    EXPECT_EQ(display.layout.height, 29);
}

TEST_P(Window, TheKeyColourCannotBeATextColourAndTheLinkPageKeepsItsColour) {
    window->FontTag(Tag(kTagFont, {{74, "#FF00FF"}}));
    EXPECT_EQ(display.layout.colour, kKeyStandIn);
    EXPECT_EQ(links.colour, 0x505050u);
    window->FontTag(Tag(kTagFont, {{74, "nonsense"}}));
    EXPECT_EQ(display.layout.colour, kKeyStandIn);
}

TEST_P(Window, SixteenNestedFontsKeepFifteenAndTheLinkPageFollowsTheirClosing) {
    for (int i = 1; i <= 16; ++i) {
        window->FontTag(Tag(kTagFont, {{70, std::to_string(10 + i)}, {kAttrSkip, "40"}}));
    }
    for (int i = 15; i >= 1; --i) {
        window->FontTag(Tag(kTagFont, {}, true));
        EXPECT_EQ(display.layout.height, 10 + i);
        EXPECT_EQ(links.height, 10 + i);
    }
    EXPECT_EQ(display.layout.height, 11);
    window->FontTag(Tag(kTagFont, {}, true));  // the sixteenth: nothing left
    EXPECT_EQ(display.layout.height, 11);
}

TEST_P(Window, FontMovesThePenWhenLeftOrTopIsGiven) {
    window->FontTag(Tag(kTagFont, {{68, "100"}}));
    EXPECT_EQ(display.layout.penX, 100);
    EXPECT_EQ(display.layout.penY, 20);
    window->FontTag(Tag(kTagFont, {{67, "5000"}}));  // outside the window: no move
    EXPECT_EQ(display.layout.penY, 20);
}

// --- Styles, INDENT, POSITION, CLIP ---

TEST_P(Window, StylesChangeBothLayouts) {
    window->StyleTag(17, Tag(17));
    window->StyleTag(43, Tag(43, {}, true));
    EXPECT_EQ(display.layout.weight, 700);
    EXPECT_EQ(links.weight, 700);
    EXPECT_EQ(display.layout.shadow, 0);
    EXPECT_EQ(links.shadow, 0);
    ASSERT_NE(display.layout.font, nullptr);
    window->StyleTag(17, Tag(17, {}, true));
    EXPECT_EQ(display.layout.weight, 0);
}

TEST_P(Window, IndentMakesFollowingLinesStartUnderTheNextCharacter) {
    controller->windowShown = 1;
    std::string rest;
    window->TypeText(Repeat(kA, 2), rest);
    window->IndentTag(Tag(42));
    window->TypeText(Repeat(kA, 30), rest);
    EXPECT_EQ(display.layout.penY, 50);
    EXPECT_EQ(display.layout.penX, 74 + 12 * 27);  // 18 fit on the first line, 12 below
    window->IndentTag(Tag(42, {}, true));
    EXPECT_EQ(display.layout.indentDepth, 0);
}

TEST_P(Window, PositionMovesByShareAndOffsetAndIgnoresPointsOutsideTheWindow) {
    window->PositionTag(Tag(49, {{68, "50%"}, {67, "+30"}}));
    EXPECT_EQ(display.layout.penX, 300);
    EXPECT_EQ(display.layout.penY, 50);
    window->PositionTag(Tag(49, {{64, "STAGE"}, {68, "0"}, {67, "0"}}));
    EXPECT_EQ(display.layout.penX, 300);
    EXPECT_EQ(display.layout.penY, 50);
}

TEST_P(Window, SavedPositionsComeBackAfterText) {
    controller->windowShown = 1;
    window->PositionTag(Tag(49, {{kAttrMode, "save"}, {68, "100"}}));
    std::string rest;
    window->TypeText(Repeat(kA, 5), rest);
    window->ClipTag(Tag(53, {{kAttrMode, "SAVE"}}));
    window->TypeText(Repeat(kA, 5), rest);
    window->ClipTag(Tag(53, {{kAttrMode, "LOAD"}}));
    EXPECT_EQ(display.layout.penX, 120 + 5 * 27);  // LEFT counts from the window's left
    window->PositionTag(Tag(49, {{kAttrMode, "LOAD"}}));
    EXPECT_EQ(display.layout.penX, 20);                   // saved before the move
    window->PositionTag(Tag(49, {{kAttrMode, "LOAD"}}));  // empty: the pen stays
    EXPECT_EQ(display.layout.penX, 20);
}

// --- Opening, typing, new page ---

TEST_P(Window, OpeningFadesInOnceAndThenShowsTheWholeStagePlainly) {
    window->OpenWindow();
    ASSERT_EQ(presents.size(), 2u);
    EXPECT_FALSE(presents[0].rect.has_value());
    EXPECT_EQ(presents[0].effect, 7);
    EXPECT_EQ(presents[0].time, 30);  // trunc(50 x 0.6)
    EXPECT_EQ(presents[1].effect, 0);
    EXPECT_EQ(controller->windowShown, 1);
    window->OpenWindow();
    EXPECT_EQ(presents.size(), 2u);
}

TEST_P(Window, OpeningWithoutFadesPresentsPlainly) {
    settings.m_nFadeEffect = 0;
    window->OpenWindow();
    ASSERT_EQ(presents.size(), 2u);
    EXPECT_EQ(presents[0].effect, 0);
    EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_P(Window, TypingPausesHalfTheTextWaitBetweenCharactersAndReachesTheScreen) {
    controller->windowShown = 1;
    std::string rest;
    EXPECT_TRUE(window->TypeText(Repeat(kA, 4), rest));
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{25, 25, 25}));
    ASSERT_EQ(presents.size(), 4u);
    EXPECT_TRUE(presents[0].rect.has_value());
    stage::Surface shown;
    ASSERT_TRUE(screen.CopyOut(shown));
    const stage::Rect line{20, 20, 20 + 4 * 27, 47};
    EXPECT_GT(Count(shown, line, 0xFFFFFF), 0);
    EXPECT_EQ(Count(shown, line, 0xFFFFFF), Count(stage->TextLayer(), line, 0xFFFFFF));
}

TEST_P(Window, AClickEndsThePausesOfTheCurrentRunOnly) {
    controller->windowShown = 1;
    clock.SetSleepHook([this](int) { click.store(1); });
    std::string rest;
    window->TypeText(Repeat(kA, 6), rest);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{25}));
    clock.SetSleepHook({});
    clock.ClearSleeps();
    window->TypeText(Repeat(kA, 3), rest);  // the flag is cleared at the start of every run
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{25, 25}));
}

TEST_P(Window, FastForwardTypesWithoutPauses) {
    controller->windowShown = 1;
    text.m_nTextWait = 0;
    std::string rest;
    window->TypeText(Repeat(kA, 3), rest);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{0, 0}));
    text.m_nTextEffect = 0;
    presents.clear();
    window->TypeText(Repeat(kA, 3), rest);
    EXPECT_EQ(presents.size(), 1u);
}

TEST_P(Window, TypingOpensAClosedWindowFirst) {
    std::string rest;
    window->TypeText(kA, rest);
    ASSERT_EQ(presents.size(), 3u);
    EXPECT_EQ(presents[0].effect, 7);
    EXPECT_TRUE(presents[2].rect.has_value());
}

TEST_P(Window, BehindACurtainTextIsDrawnButNotShown) {
    controller->windowShown = 1;
    curtain.store(1);
    std::string rest;
    window->TypeText(Repeat(kA, 3), rest);
    EXPECT_TRUE(presents.empty());
    EXPECT_GT(Count(stage->TextLayer(), stage::Rect{20, 20, 101, 47}, 0xFFFFFF), 0);
}

TEST_P(Window, AFullPageHandsBackTheRestAndANewPageStartsEmpty) {
    controller->windowShown = 1;
    text.m_nTextEffect = 0;
    std::string rest;
    EXPECT_FALSE(window->TypeText(Repeat(kA, 300), rest));
    EXPECT_EQ(rest, Repeat(kA, 20));
    presents.clear();
    window->NewPage();
    ASSERT_EQ(presents.size(), 1u);
    EXPECT_FALSE(presents[0].rect.has_value());
    EXPECT_EQ(stage->Flags(), 1u);
    EXPECT_EQ(display.layout.penX, 20);
    EXPECT_EQ(display.layout.penY, 20);
    EXPECT_EQ(Count(stage->TextLayer(), stage->TextLayer().Bounds(), 0xFF00FF), 640 * 480);
    EXPECT_TRUE(window->TypeText(rest, rest));  // pending text passed as its own remainder
    EXPECT_TRUE(rest.empty());
}

TEST_P(Window, ACharacterThatNoEmptyPageTakesIsDroppedSoTheBookGoesOn) {
    controller->windowShown = 1;
    window->ScreenTag(Tag(kTagScreen, {{68, "20"}, {67, "20"}, {69, "10"}, {70, "40"}}));
    std::string rest;
    EXPECT_FALSE(window->TypeText(kA + kA, rest));
    EXPECT_EQ(rest, kA);
    EXPECT_TRUE(window->TypeText(std::string(rest), rest));
    EXPECT_TRUE(rest.empty());
}

TEST_P(Window, ANewPageOnAClosedWindowRebuildsTheFrameAndOpensIt) {
    window->NewPage();
    EXPECT_EQ(stage->Flags(), 5u);
    EXPECT_EQ(controller->windowShown, 1);
}

TEST_P(Window, HidingLeavesOutFrameAndTextAndShowingComposesAsBefore) {
    stage->Compose(0);
    window->HideWindow(true);
    EXPECT_EQ(stage->Flags(), 3u);
    window->HideWindow(false);
    EXPECT_EQ(stage->Flags(), 0u);
}

// --- WINDOW ---

TEST_P(Window, AFramePictureIsLoadedPlacedAndDrawnOnComposition) {
    Write("frame.bmp", SolidBmp(100, 40, 0, 0, 248));
    controller->windowShown = 1;
    window->WindowTag(
        Tag(kTagWindow,
            {{62, "frame.bmp"}, {68, "20"}, {67, "400"}, {kAttrShut, "NONE"}, {1, "NONE"}}));
    ASSERT_TRUE(boxes.boxes.empty());
    const stage::Picture& frame = stage->WindowFrame();
    ASSERT_TRUE(frame.IsLoaded());
    EXPECT_EQ(frame.left, 20);
    EXPECT_EQ(frame.top, 400);
    EXPECT_EQ(controller->windowShown, 0);
    EXPECT_EQ(controller->frameShutMask, 0u);
    stage->Compose(0);
    EXPECT_EQ(Count(stage->StageSurface(), stage::Rect{20, 400, 120, 440}, 0xF80000), 4000);
    std::vector<std::string> lines;
    controller->WriteStageTags(lines);
    bool found = false;
    for (const std::string& line : lines) {
        found = found || line.find("<WINDOW SRC=") == 0;
    }
    EXPECT_TRUE(found);
}

TEST_P(Window, AFrameThatCannotBeLoadedIsReportedAndTheOldOneStays) {
    Write("frame.bmp", SolidBmp(10, 10, 0, 0, 248));
    window->WindowTag(Tag(kTagWindow, {{62, "frame.bmp"}, {68, "1"}, {67, "2"}}));
    Write("broken.bmp", std::vector<uint8_t>{'B', 'M', 1, 2});
    window->WindowTag(Tag(kTagWindow, {{62, "broken.bmp"}, {68, "5"}, {67, "5"}}));
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_NE(boxes.boxes.back().find("I can't open file"), std::string::npos);
    EXPECT_NE(boxes.boxes.back().find("broken.bmp"), std::string::npos);
    EXPECT_EQ(stage->WindowFrame().left, 1);
    EXPECT_TRUE(stage->WindowFrame().IsLoaded());
}

TEST_P(Window, WithoutLeftOrTopTheFrameIsRemovedAndTheWindowClosed) {
    Write("frame.bmp", SolidBmp(10, 10, 0, 0, 248));
    window->WindowTag(Tag(kTagWindow, {{62, "frame.bmp"}, {68, "1"}, {67, "2"}}));
    controller->windowShown = 1;
    window->WindowTag(Tag(kTagWindow, {{62, "frame.bmp"}, {68, "1"}}));
    EXPECT_FALSE(stage->WindowFrame().IsLoaded());
    EXPECT_EQ(stage->WindowFrame().alpha, 0);
    EXPECT_EQ(controller->windowShown, 0);
    EXPECT_EQ(display.frame.shown, 1);
}

TEST_P(Window, AnAlphaThatIsNoNumberNamesAMask) {
    Write("frame.bmp", SolidBmp(10, 10, 0, 0, 248));
    Write("mask.bmp", SolidBmp(10, 10, 255, 255, 255));
    window->WindowTag(
        Tag(kTagWindow, {{62, "frame.bmp"}, {68, "0"}, {67, "0"}, {kAttrAlpha, "mask.bmp"}}));
    const stage::Picture& frame = stage->WindowFrame();
    EXPECT_EQ(frame.alpha, 100);
    ASSERT_EQ(frame.mask.size(), 100u);
    EXPECT_EQ(frame.mask[0], 248);
    EXPECT_EQ(frame.maskSource, "mask.bmp");
    window->WindowTag(
        Tag(kTagWindow, {{62, "frame.bmp"}, {68, "0"}, {67, "0"}, {kAttrAlpha, "missing.bmp"}}));
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(stage->WindowFrame().mask.empty());
}

TEST_P(Window, ClosingTheWindowTagHidesTheFrameButLeavesTheWindowFlag) {
    Write("frame.bmp", SolidBmp(10, 10, 0, 0, 248));
    window->WindowTag(
        Tag(kTagWindow, {{62, "frame.bmp"}, {68, "0"}, {67, "0"}, {kAttrAlpha, "50"}}));
    EXPECT_EQ(stage->WindowFrame().alpha, 50);
    controller->windowShown = 1;
    window->WindowTag(Tag(kTagWindow, {}, true));
    EXPECT_FALSE(stage->WindowFrame().IsLoaded());
    EXPECT_EQ(display.frame.shown, 0);
    EXPECT_EQ(controller->windowShown, 1);
}

TEST_P(Window, WithBothShutNoneTheWindowStaysThroughAStageChange) {
    Write("frame.bmp", SolidBmp(100, 40, 0, 0, 248));
    window->ScreenTag(Tag(kTagScreen, {{kAttrShut, "NONE"}}));
    window->WindowTag(Tag(
        kTagWindow, {{62, "frame.bmp"}, {68, "0"}, {67, "440"}, {kAttrShut, "NONE"}, {1, "NONE"}}));
    std::string rest;
    window->TypeText(kA, rest);
    controller->CloseWindowForChange();
    EXPECT_EQ(stage->Flags(), 0u);
    EXPECT_EQ(Count(stage->StageSurface(), stage::Rect{0, 440, 100, 480}, 0xF80000), 4000);
    EXPECT_GT(Count(stage->StageSurface(), stage::Rect{0, 0, 27, 27}, 0xFFFFFF), 0);
}

TEST_P(Window, TheDrawerLeavesTheStageWithTheWindow) {
    window.reset();
    stage->Compose(4);  // must not reach the destroyed window
    SUCCEED();
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Window,
                         ::testing::Values(stage::PixelFormat::Rgb565(),
                                           stage::PixelFormat::Rgb555()));

}  // namespace
}  // namespace talu::interp
