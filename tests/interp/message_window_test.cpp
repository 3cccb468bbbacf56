#include "interp/message_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "interp/interp_test_support.h"
#include "interp/window_frame.h"
#include "script/keywords.h"
#include "stage/stage_test_support.h"
#include "support/repeat.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;
using test::CountColour;
using test::kA;
using test::Repeat;
using test::Tag;
using Attributes = std::initializer_list<std::pair<int, std::string_view>>;
using Sleeps = std::vector<int>;

constexpr uint32_t kBlue = 0xF80000;  // blue 248, exact in both formats

class Window : public ::testing::TestWithParam<stage::PixelFormat> {
  protected:
    /// Writes frame.bmp in kBlue (0x0000F8 as the picture writer spells colours).
    void WriteFrame(int width, int height) { rig.Picture("frame.bmp", width, height, 0x0000F8); }

    /// Shows frame.bmp with the given WINDOW attributes.
    void ShowFrame(Attributes attributes) {
        script::TagRecord tag = Tag(kw::kWindow, attributes);
        tag.AddAttribute(kw::kSrc, "frame.bmp");
        window->WindowTag(tag);
    }

    void Font(Attributes attributes, bool closing = false) {
        window->FontTag(Tag(kw::kFont, attributes, closing));
    }
    void Screen(Attributes attributes) { window->ScreenTag(Tag(kw::kScreen, attributes)); }
    PenPoint Pen() const { return {display.layout.penX, display.layout.penY}; }
    int CountOnStage(const stage::Rect& rect, uint32_t colour) {
        return CountColour(rig.stage.StageSurface(), rect, colour);
    }

    void Type(const std::string& text) {
        std::string rest;
        window->TypeText(text, rest);
    }

    stage::testing::StageRig rig{GetParam()};
    std::atomic<int> click{0};
    MessageDisplay display;
    TextLayout links = [] {
        TextLayout layout;
        layout.colour = 0x505050;
        return layout;
    }();
    TextSettings text;
    std::unique_ptr<MessageWindow> window =
        std::make_unique<MessageWindow>(MessageWindowServices{.display = &display,
                                                              .linkSet = &links,
                                                              .controller = rig.controller.get(),
                                                              .loader = rig.loader.get(),
                                                              .diagnostics = &rig.diagnostics,
                                                              .itemText = {},
                                                              .resolvePath = {},
                                                              .textSettings = &text,
                                                              .clock = &rig.clock,
                                                              .click = &click});
};

// Where SCREEN puts the window and the pen: tests/books/run/window.talu.
TEST_P(Window, ScreenSetsTheShutModeAndTheLinkPagesArea) {
    rig.controller->textShutMask = 0;
    Screen({});
    EXPECT_EQ(display.layout.window, (stage::Rect{0, 0, 600, 440}));  // nothing given
    EXPECT_EQ(std::tuple(display.layout.shutMode, rig.controller->textShutMask, links.window),
              std::tuple(kw::kAuto, 1u, display.layout.window));
    Screen({{kw::kShut, "none"}});
    EXPECT_EQ(std::tuple(display.layout.shutMode, rig.controller->textShutMask),
              std::tuple(kw::kNone, 0u));
}

// Sizes, USER and styles as the pen shows them: tests/books/run/window.talu.
TEST_P(Window, FontsAndStylesReachTheLinkPageAndFaceAndPenAttributesWork) {
    Font({{kw::kHeight, "20"}});
    EXPECT_TRUE(window->BaseFontTaken());
    EXPECT_EQ(links.baseHeight, 20);
    Font({{kw::kHeight, "33"}, {kw::kSrc, "IPAGothic"}});
    Font({{kw::kHeight, "USER"}, {kw::kSrc, "user"}});
    EXPECT_EQ(std::tuple(links.height, display.layout.face), std::tuple(20, kDefaultFace));
    // The face comes from SRC, or else from FACE.
    Font({{kw::kFace, "IPAGothic"}});
    EXPECT_EQ(display.layout.face, "IPAGothic");
    Font({{kw::kSrc, "IPAMincho"}, {kw::kFace, "IPAGothic"}});
    EXPECT_EQ(display.layout.face, "IPAMincho");
    Font({{kw::kSize, "+4"}});
    EXPECT_EQ(links.height, 24);
    // LEFT or TOP move the pen, but not outside the window.
    Font({{kw::kLeft, "100"}});
    Font({{kw::kTop, "5000"}});
    EXPECT_EQ(Pen(), (PenPoint{100, 20}));

    window->StyleTag(kw::kB, Tag(kw::kB, {}));
    window->StyleTag(kw::kShadow, Tag(kw::kShadow, {}, true));
    EXPECT_EQ(std::tuple(links.weight, links.shadow), std::tuple(700, 0));
    window->StyleTag(kw::kB, Tag(kw::kB, {}, true));
    EXPECT_EQ(display.layout.weight, 0);
}

TEST_P(Window, TheKeyColourCannotBeATextColourAndTheLinkPageKeepsItsColour) {
    for (const char* colour : {"#FF00FF", "nonsense"}) {
        Font({{kw::kColor, colour}});
        EXPECT_EQ(std::tuple(display.layout.colour, links.colour),
                  std::tuple(kKeyStandIn, 0x505050u))
            << colour;
    }
}

TEST_P(Window, SixteenNestedFontsKeepFifteenAndTheLinkPageFollowsTheirClosing) {
    for (int i = 1; i <= 16; ++i) {
        Font({{kw::kHeight, std::to_string(10 + i)}, {kw::kSkip, "40"}});
    }
    for (int i = 15; i >= 0; --i) {  // the sixteenth closing finds nothing left
        Font({}, true);
        const int height = 10 + std::max(i, 1);
        EXPECT_EQ(std::tuple(display.layout.height, links.height), std::tuple(height, height));
    }
}

TEST_P(Window, TypingPausesHalfTheTextWaitUntilAClickAndReachesTheScreen) {
    rig.controller->windowShown = 1;
    std::string rest;
    EXPECT_TRUE(window->TypeText(Repeat(kA, 4), rest));
    EXPECT_EQ(rig.clock.Sleeps(), (Sleeps{25, 25, 25}));
    ASSERT_EQ(rig.presents.size(), 4u);
    EXPECT_TRUE(rig.presents[0].rect.has_value());
    stage::Surface shown;
    ASSERT_TRUE(rig.screen.CopyOut(shown));
    const stage::Rect line{20, 20, 20 + 4 * 27, 47};
    EXPECT_GT(CountColour(shown, line, 0xFFFFFF), 0);
    EXPECT_EQ(CountColour(shown, line, 0xFFFFFF),
              CountColour(rig.stage.TextLayer(), line, 0xFFFFFF));

    // A click ends the pauses of the current run only.
    rig.clock.ClearSleeps();
    rig.clock.SetSleepHook([this](int) { click.store(1); });
    Type(Repeat(kA, 6));
    EXPECT_EQ(rig.clock.Sleeps(), (Sleeps{25}));
    rig.clock.SetSleepHook({});
    rig.clock.ClearSleeps();
    Type(Repeat(kA, 3));  // the flag is cleared at the start of every run
    EXPECT_EQ(rig.clock.Sleeps(), (Sleeps{25, 25}));
}

TEST_P(Window, FastForwardTypesWithoutPausesAndBehindACurtainNothingIsShown) {
    rig.controller->windowShown = 1;
    text.m_nTextWait = 0;
    Type(Repeat(kA, 3));
    EXPECT_EQ(rig.clock.Sleeps(), (Sleeps{0, 0}));
    text.m_nTextEffect = 0;
    rig.presents.clear();
    Type(Repeat(kA, 3));
    EXPECT_EQ(rig.presents.size(), 1u);

    rig.presents.clear();
    rig.curtainFlag.store(1);
    Type(kA);
    EXPECT_TRUE(rig.presents.empty());
    EXPECT_GT(CountColour(rig.stage.TextLayer(), stage::Rect{182, 20, 209, 47}, 0xFFFFFF), 0);
}

TEST_P(Window, NewPagesRebuildAClosedWindowAndStartEmptyAndHidingLeavesFrameAndTextOut) {
    window->NewPage();
    EXPECT_EQ(std::tuple(rig.stage.Flags(), rig.controller->windowShown), std::tuple(5u, 1));
    rig.stage.Compose(0);
    window->HideWindow(true);
    EXPECT_EQ(rig.stage.Flags(), 3u);
    window->HideWindow(false);
    EXPECT_EQ(rig.stage.Flags(), 0u);

    text.m_nTextEffect = 0;
    std::string rest;
    EXPECT_FALSE(window->TypeText(Repeat(kA, 300), rest));
    EXPECT_EQ(rest, Repeat(kA, 20));
    rig.presents.clear();
    window->NewPage();
    ASSERT_EQ(rig.presents.size(), 1u);
    EXPECT_FALSE(rig.presents[0].rect.has_value());
    EXPECT_EQ(std::tuple(rig.stage.Flags(), Pen()), std::tuple(1u, PenPoint{20, 20}));
    const stage::Surface& layer = rig.stage.TextLayer();
    EXPECT_EQ(CountColour(layer, layer.Bounds(), 0xFF00FF), 640 * 480);
    EXPECT_TRUE(window->TypeText(rest, rest));  // pending text passed as its own remainder
    EXPECT_TRUE(rest.empty());
}

TEST_P(Window, ACharacterThatNoEmptyPageTakesIsDroppedSoTheBookGoesOn) {
    rig.controller->windowShown = 1;
    Screen({{kw::kLeft, "20"}, {kw::kTop, "20"}, {kw::kWidth, "10"}, {kw::kHeight, "40"}});
    std::string rest;
    EXPECT_FALSE(window->TypeText(kA + kA, rest));
    EXPECT_EQ(rest, kA);
    EXPECT_TRUE(window->TypeText(std::string(rest), rest));
    EXPECT_TRUE(rest.empty());
}

TEST_P(Window, AFramePictureIsLoadedPlacedAndDrawnOnComposition) {
    WriteFrame(100, 40);
    rig.controller->windowShown = 1;
    ShowFrame(
        {{kw::kLeft, "20"}, {kw::kTop, "400"}, {kw::kShut, "NONE"}, {kw::kTransparent, "NONE"}});
    ASSERT_TRUE(rig.boxes.boxes.empty());
    const stage::Picture& frame = rig.stage.WindowFrame();
    ASSERT_TRUE(frame.IsLoaded());
    EXPECT_EQ(std::tuple(frame.left, frame.top, rig.controller->windowShown,
                         rig.controller->frameShutMask),
              std::tuple(20, 400, 0, 0u));
    rig.stage.Compose(0);
    EXPECT_EQ(CountOnStage(stage::Rect{20, 400, 120, 440}, kBlue), 4000);
    std::vector<std::string> lines;
    rig.controller->WriteStageTags(lines);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("<WINDOW SRC="); }));
}

TEST_P(Window, ABrokenFrameIsReportedAndTheOldOneStaysAndAClosingTagOrNoTopRemovesIt) {
    WriteFrame(10, 10);
    ShowFrame({{kw::kLeft, "1"}, {kw::kTop, "2"}, {kw::kAlpha, "50"}});
    rig.folder.Write("broken.bmp", "BM\x01\x02");
    window->WindowTag(
        Tag(kw::kWindow, {{kw::kSrc, "broken.bmp"}, {kw::kLeft, "5"}, {kw::kTop, "5"}}));
    ASSERT_FALSE(rig.boxes.boxes.empty());
    EXPECT_NE(rig.boxes.boxes.back().find("I can't open file"), std::string::npos);
    EXPECT_NE(rig.boxes.boxes.back().find("broken.bmp"), std::string::npos);
    const stage::Picture& frame = rig.stage.WindowFrame();
    EXPECT_EQ(std::tuple(frame.IsLoaded(), frame.left, frame.alpha), std::tuple(true, 1, 50));

    // The closing tag hides the frame but leaves the window open.
    rig.controller->windowShown = 1;
    window->WindowTag(Tag(kw::kWindow, {}, true));
    EXPECT_EQ(std::tuple(frame.IsLoaded(), display.frame.shown, rig.controller->windowShown),
              std::tuple(false, 0, 1));

    // Without TOP the frame is removed and the window closed.
    ShowFrame({{kw::kLeft, "1"}, {kw::kTop, "2"}, {kw::kAlpha, "50"}});
    rig.controller->windowShown = 1;
    ShowFrame({{kw::kLeft, "1"}});
    EXPECT_EQ(
        std::tuple(frame.IsLoaded(), frame.alpha, rig.controller->windowShown, display.frame.shown),
        std::tuple(false, 0, 0, 1));
}

TEST_P(Window, AnAlphaThatIsNoNumberNamesAMask) {
    WriteFrame(10, 10);
    rig.Picture("mask.bmp", 10, 10, 0xFFFFFF);
    ShowFrame({{kw::kLeft, "0"}, {kw::kTop, "0"}, {kw::kAlpha, "mask.bmp"}});
    const stage::Picture& frame = rig.stage.WindowFrame();
    ASSERT_EQ(frame.mask.size(), 100u);
    EXPECT_EQ(std::tuple(frame.alpha, frame.mask[0], frame.maskSource),
              std::tuple(100, 248, "mask.bmp"));
    ShowFrame({{kw::kLeft, "0"}, {kw::kTop, "0"}, {kw::kAlpha, "missing.bmp"}});
    EXPECT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_TRUE(frame.mask.empty());
}

TEST_P(Window, WithBothShutNoneTheWindowStaysThroughAStageChange) {
    WriteFrame(100, 40);
    Screen({{kw::kShut, "NONE"}});
    ShowFrame(
        {{kw::kLeft, "0"}, {kw::kTop, "440"}, {kw::kShut, "NONE"}, {kw::kTransparent, "NONE"}});
    Type(kA);
    rig.controller->CloseWindowForChange();
    EXPECT_EQ(rig.stage.Flags(), 0u);
    EXPECT_EQ(CountOnStage(stage::Rect{0, 440, 100, 480}, kBlue), 4000);
    EXPECT_GT(CountOnStage(stage::Rect{0, 0, 27, 27}, 0xFFFFFF), 0);
}

TEST_P(Window, TheDrawerLeavesTheStageWithTheWindow) {
    window.reset();
    rig.stage.Compose(4);  // must not reach the destroyed window
    SUCCEED();
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Window, test::BothFormats());

constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kFrameRed = 0x0000F8;  // red 248

class Frame : public ::testing::TestWithParam<stage::PixelFormat> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(target.Create(64, 48, GetParam()));
        target.Fill(kBlue);
        ASSERT_TRUE(picture.Create(8, 4, GetParam()));
        picture.Fill(kFrameRed);
        picture.left = 10;
        picture.top = 20;
    }

    uint32_t At(int x, int y) const { return target.Format().ToColour(target.Row(y)[x]); }
    uint32_t Native(uint32_t colour) const { return target.NativeColour(colour); }

    void Draw(uint32_t flags) {
        DrawWindowFrame(target, FrameLayers{picture, cache}, state, settings, flags);
    }

    stage::Surface target;
    stage::Picture picture;
    stage::Surface cache;
    FrameState state;
    stage::StageSettings settings;
};

TEST_P(Frame, AnOpaqueFrameIsCopiedWithItsKey) {
    picture.Row(0)[0] = static_cast<uint16_t>(picture.NativeColour(0xFF00FF));
    picture.SetSourceKey(0xFF00FF);
    Draw(0);
    EXPECT_EQ(target.Row(20)[10], Native(kBlue));  // key pixel left out
    EXPECT_EQ(target.Row(20)[11], Native(kFrameRed));
    EXPECT_EQ(target.Row(23)[17], Native(kFrameRed));
    EXPECT_EQ(target.Row(24)[17], Native(kBlue));
    EXPECT_EQ(target.Row(23)[18], Native(kBlue));
    EXPECT_FALSE(cache.IsLoaded());
}

TEST_P(Frame, HalfAlphaBlendsOnRebuildAndReplaysTheCacheOtherwise) {
    picture.alpha = 50;  // weight 16 of 32
    Draw(4);
    const uint32_t blended = target.Row(21)[12];
    EXPECT_EQ(blended, static_cast<uint32_t>(target.Format().FromColour(0x7C007C)));
    ASSERT_TRUE(cache.IsLoaded());
    EXPECT_EQ(cache.Width(), 8);
    EXPECT_EQ(cache.Row(1)[2], blended);
    // A stage that now shows something else under the frame still gets the cached blend.
    target.Fill(0xFFFFFF);
    Draw(0);
    EXPECT_EQ(target.Row(21)[12], blended);
    EXPECT_EQ(target.Row(5)[5], Native(0xFFFFFF));
}

TEST_P(Frame, TheMaskDecidesPerPixelAndMustMatchTheFramesSize) {
    stage::Surface maskPicture;
    ASSERT_TRUE(maskPicture.Create(7, 4, GetParam()));
    EXPECT_FALSE(picture.TakeMask(maskPicture, "m.bmp"));
    EXPECT_TRUE(picture.mask.empty());
    ASSERT_TRUE(maskPicture.Create(8, 4, GetParam()));
    maskPicture.Fill(0);
    maskPicture.FillRect(stage::Rect{4, 0, 8, 4}, 0xFFFFFF);
    ASSERT_TRUE(picture.TakeMask(maskPicture, "mask.bmp"));
    EXPECT_EQ(picture.mask[0], 0);
    EXPECT_EQ(picture.mask[4], 248);
    EXPECT_EQ(picture.maskSource, "mask.bmp");
    Draw(4);
    EXPECT_EQ(target.Row(20)[10], Native(kBlue));  // mask 0: stage
    // mask 248: (stage x 8 + frame x 248) / 256 per channel, close to the frame.
    const uint32_t c = At(16, 20);
    EXPECT_GE(c & 0xFF, 0xE0u);
    EXPECT_LE((c >> 16) & 0xFF, 0x10u);
}

TEST_P(Frame, WithoutAPictureTheStageIsDimmedWhenBrightnessIsOn) {
    picture.Release();
    target.Fill(kGrey);
    settings.m_nBright = 50;
    Draw(0);
    const uint32_t half = static_cast<uint32_t>(target.Format().FromColour(0x404040));
    EXPECT_EQ(target.Row(0)[0], half);
    target.Fill(kGrey);
    settings.m_nBrightEffect = 0;
    Draw(0);
    EXPECT_EQ(target.Row(0)[0], Native(kGrey));
}

TEST_P(Frame, HiddenLeftOutOrUncachedFramesDrawNothing) {
    struct Case {
        int alpha;
        int shown;
        uint32_t flags;
    };
    // A blended frame without cache and rebuild; a hidden frame; a frame the flags leave out.
    for (const Case& c : {Case{50, 1, 0}, Case{100, 0, 4}, Case{100, 1, 2 | 4}}) {
        picture.alpha = c.alpha;
        state.shown = c.shown;
        Draw(c.flags);
        EXPECT_EQ(target.Row(21)[12], Native(kBlue)) << c.alpha << " " << c.shown << " " << c.flags;
    }
}

TEST_P(Frame, AFramePartlyOffTheStageKeepsOnlyItsVisiblePart) {
    picture.alpha = 50;
    picture.left = -4;
    picture.top = 46;
    Draw(4);
    ASSERT_TRUE(cache.IsLoaded());
    target.Fill(0);
    Draw(0);
    EXPECT_EQ(target.Row(47)[3], static_cast<uint32_t>(target.Format().FromColour(0x7C007C)));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Frame, test::BothFormats());

TEST(FrameLine, WrittenOnlyWithAPicture) {
    stage::Picture picture;
    FrameState state;
    EXPECT_FALSE(WindowLine(picture, state).has_value());
    ASSERT_TRUE(picture.Create(100, 40, stage::PixelFormat::Rgb565()));
    picture.source = "Z:\\b\\frame.bmp";
    picture.left = 20;
    picture.top = 400;
    picture.alpha = 70;
    EXPECT_EQ(WindowLine(picture, state),
              "<WINDOW SRC=\"Z:\\b\\frame.bmp\" LEFT=\"20\" TOP=\"400\" WIDTH=\"100\" "
              "HEIGHT=\"40\"  ALPHA=\"70\"  >");
    picture.transparent = "#FF00FF";
    picture.maskSource = "m.bmp";
    state.shutMode = script::kw::kNone;
    EXPECT_EQ(WindowLine(picture, state),
              "<WINDOW SRC=\"Z:\\b\\frame.bmp\" LEFT=\"20\" TOP=\"400\" WIDTH=\"100\" "
              "HEIGHT=\"40\" TRANSPARENT=\"#FF00FF\" SHUT=\"NONE\"  ALPHA=\"m.bmp\"  >");
}

}  // namespace
}  // namespace talu::interp
