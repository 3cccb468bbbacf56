// Composition order and flags, presentation and the shake, on every pixel layout.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "pixel_test_support.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

using testing::StageRig;

class StageComposition : public ::testing::TestWithParam<PixelFormat> {};

// A solid loaded picture of colour (engine order, red low) at (left, top).
void Solid(Picture& p, int w, int h, uint32_t colour, const PixelFormat& format, int left = 0,
           int top = 0) {
    ASSERT_TRUE(p.Create(w, h, format));
    p.Fill(colour);
    p.left = left;
    p.top = top;
}

TEST_P(StageComposition, DrawsLayersBackToFrontAndHonoursFlags) {
    const PixelFormat format = GetParam();
    Stage stage(format);
    ASSERT_TRUE(stage.Create(64, 48));
    Solid(stage.Background(), 32, 24, 0x0000FF, format, 8, 8);  // red, offset
    Character& c = stage.CharacterAt(3);
    c.name = "A";
    Solid(c, 10, 10, 0x00FF00, format, 20, 10);  // green over the background's corner
    Character& front = stage.CharacterAt(4);
    front.name = "B";
    Solid(front, 4, 4, 0xFF0000, format, 22, 12);  // blue, in front of A
    stage.TextLayer().Row(30)[30] = format.FromColour(0xFFFFFF);
    uint32_t drawnFlags = 99;
    stage.SetWindowDrawer([&](Stage&, Surface& target, uint32_t flags) {
        drawnFlags = flags;
        target.Row(40)[40] = format.FromColour(0x808080);
    });

    stage.Compose(4);
    const Surface& s = stage.StageSurface();
    EXPECT_EQ(drawnFlags, 4u);
    EXPECT_EQ(stage.Flags(), 4u);
    // Outside the background black, its first and last pixel, slot 4 drawn after slot 3, the
    // text layer and then the window on top.
    const std::tuple<int, int, uint32_t> seen[] = {
        {0, 0, 0},          {8, 8, 0x0000FF},   {39, 31, 0x0000FF}, {40, 32, 0},
        {20, 10, 0x00FF00}, {22, 12, 0xFF0000}, {30, 30, 0xFFFFFF}, {40, 40, 0x808080}};
    for (const auto& [x, y, colour] : seen) {
        EXPECT_EQ(s.Row(y)[x], format.FromColour(colour)) << x << "," << y;
    }

    drawnFlags = 99;
    stage.Compose(compose::kNoText | compose::kNoWindow | compose::kNoCharacters);
    EXPECT_EQ(drawnFlags, 99u);
    EXPECT_EQ(s.Row(10)[20], format.FromColour(0x0000FF));
    EXPECT_EQ(s.Row(30)[30], format.FromColour(0x0000FF));  // text left out
    EXPECT_EQ(s.Row(40)[40], 0);
}

// Hidden characters are left out and leaving ones stay until they settle; a background far off
// the stage is skipped without overflow.
TEST_P(StageComposition, HiddenLeavingAndFarOffPicturesAreLeftOut) {
    const PixelFormat format = GetParam();
    Stage stage(format);
    ASSERT_TRUE(stage.Create(16, 16));
    Solid(stage.Background(), 8, 8, 0xFFFFFF, format, INT32_MAX - 2, INT32_MIN + 1);
    Character& hidden = stage.CharacterAt(0);
    hidden.name = "H";
    hidden.hidden = 1;
    Solid(hidden, 2, 2, 0xFFFFFF, format, 0, 0);
    Character& leaving = stage.CharacterAt(1);
    leaving.name = "L";
    leaving.exitPending = 1;
    Solid(leaving, 2, 2, 0xFFFFFF, format, 4, 4);
    stage.Compose(3);
    const Surface& s = stage.StageSurface();
    testing::ExpectPixels(s, [&](int x, int y) {
        return x >= 4 && x < 6 && y >= 4 && y < 6 ? format.FromColour(0xFFFFFF) : 0;
    });
    stage.SettleCharacters();
    EXPECT_TRUE(leaving.name.empty());
    EXPECT_FALSE(leaving.IsLoaded());
    EXPECT_EQ(hidden.hidden, 0);
    stage.Recompose();
    EXPECT_EQ(s.Row(0)[0], format.FromColour(0xFFFFFF));
    EXPECT_EQ(s.Row(4)[4], 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, StageComposition, ::testing::ValuesIn(testing::kFormats),
                         testing::FormatName);

TEST(StagePresentation, PresentCopiesTheStageOrARectangleToTheScreen) {
    StageRig rig;
    rig.stage.Background().Fill(0x00FF00);
    rig.stage.Compose(3);
    rig.stage.Present(Rect{10, 20, 30, 40}, 0, 0);
    Surface shown;
    ASSERT_TRUE(rig.screen.CopyOut(shown));
    EXPECT_NE(shown.Row(20)[10], 0);
    EXPECT_EQ(shown.Row(19)[10], 0);
    EXPECT_EQ(shown.Row(20)[30], 0);
    rig.stage.Present(std::nullopt, 0, 0);
    EXPECT_TRUE(rig.ScreenShowsStage());
    EXPECT_TRUE(rig.clock.Sleeps().empty());
    // An effect ends showing the stage.
    rig.stage.Background().Fill(0xFFFFFF);
    rig.stage.Compose(3);
    rig.stage.Present(std::nullopt, 7, 160);
    EXPECT_TRUE(rig.ScreenShowsStage());
}

TEST(StagePresentation, NothingWithoutScreenOrClock) {
    Stage stage;
    ASSERT_TRUE(stage.Create());
    stage.Present(std::nullopt, 7, 100);  // no output: must simply return
}

// The first move shows the stage WIDTH pixels down; after four moves per cycle it stands still.
TEST(StageShake, KickMovesFourTimesPerCycleAndEndsStill) {
    StageRig rig;
    rig.stage.Background().Fill(0xFFFFFF);
    rig.stage.Compose(3);
    Surface firstMove;
    rig.clock.SetSleepHook([&](int) {
        if (!firstMove.IsLoaded())
            rig.screen.CopyOut(firstMove);
    });
    ASSERT_FALSE(
        rig.controller->KickTag(testing::Tag(script::kw::kKick, {{script::kw::kWidth, "40"}}))
            .failed);
    ASSERT_TRUE(firstMove.IsLoaded());
    EXPECT_EQ(firstMove.Row(39)[0], 0);
    EXPECT_NE(firstMove.Row(40)[0], 0);
    EXPECT_EQ(rig.clock.Sleeps(), std::vector<int>(8, 50));
    EXPECT_TRUE(rig.ScreenShowsStage());
}

TEST(StageShake, AbsurdValuesAreBounded) {
    StageRig rig;
    rig.controller->KickTag(testing::Tag(script::kw::kKick, {{script::kw::kWidth, "-99999999999"},
                                                             {script::kw::kLoop, "99999999999"},
                                                             {script::kw::kTime, "-5"}}));
    EXPECT_EQ(rig.clock.Sleeps().size(), 4000u);
    rig.clock.ClearSleeps();
    rig.controller->KickTag(testing::Tag(
        script::kw::kKick, {{script::kw::kWidth, "2147483647"}, {script::kw::kLoop, "1"}}));
    EXPECT_EQ(rig.clock.Sleeps().size(), 4u);
}

TEST(StageThreads, PaintWhileTheWorkerComposesAndPresents) {
    StageRig rig;
    std::atomic<bool> done{false};
    // The interface thread reads the stage (as link hovering does) and the screen while the
    // worker composes and presents.
    std::thread painter([&] {
        Surface out;
        while (!done.load()) {
            rig.stage.DrawLocked([](Surface& composed, Surface&) { return composed.Row(0)[0]; });
            rig.screen.CopyOut(out);
        }
    });
    for (int i = 0; i < 20; ++i) {
        rig.stage.Background().Fill(i % 2 == 0 ? 0xFFFFFF : 0x000000);
        rig.stage.Compose(3);
        rig.stage.Present(std::nullopt, i % 3 == 0 ? 7 : 0, 20);
    }
    done = true;
    painter.join();
    EXPECT_TRUE(rig.ScreenShowsStage());
}

// The frontend hears of every step of an effect as it is shown, and never while the stage is
// held: a painter that needs the stage gets it from within the announcement.
TEST(StageThreads, EffectStepsAreAnnouncedWithTheStageFree) {
    StageRig rig;
    rig.stage.Background().Fill(0xFFFFFF);
    rig.stage.Compose(3);
    std::vector<std::thread> painters;
    int announced = 0;
    int stageHeld = 0;
    rig.screen.SetChangedCallback([&] {
        ++announced;
        auto painted = std::make_shared<std::atomic<bool>>(false);
        painters.emplace_back([&rig, painted] {
            rig.stage.DrawLocked([](Surface&, Surface&) {});
            *painted = true;
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!*painted && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        stageHeld += *painted ? 0 : 1;
    });
    rig.stage.Present(std::nullopt, kEffectFadeIn, 160);
    for (std::thread& painter : painters) {
        painter.join();
    }
    EXPECT_EQ(stageHeld, 0);
    EXPECT_EQ(announced, static_cast<int>(rig.clock.Sleeps().size()) + 1);  // each step, the end
    EXPECT_GT(rig.clock.Sleeps().size(), 1u);
}

}  // namespace
}  // namespace talu::stage
