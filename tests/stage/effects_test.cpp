#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "host/clock.h"
#include "pixel_test_support.h"
#include "stage/effects.h"

namespace talu::stage {
namespace {

using testing::PatternSurface;
using testing::SameRect;

constexpr Rect kStage{0, 0, 640, 480};
const int kAllEffects[] = {-1, 0,  1,  2,  4,  6,  7,  8,  9,  10, 11, 12,
                           13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 99};

// Count of pixels of screen that differ from blank (all zero) inside rect.
int Changed(const Surface& screen) {
    int n = 0;
    for (int y = 0; y < screen.Height(); ++y) {
        for (int x = 0; x < screen.Width(); ++x) {
            n += screen.Row(y)[x] != 0 ? 1 : 0;
        }
    }
    return n;
}

TEST(EffectStepsTest, StepCountsOnFullStage) {
    EXPECT_EQ(StepCount(kEffectFadeFromLeft, kStage), 176);
    EXPECT_EQ(StepCount(kEffectFadeFromTop, kStage), 136);
    EXPECT_EQ(StepCount(kEffectFromTop, kStage), 120);
    EXPECT_EQ(StepCount(kEffectFromLeft, kStage), 160);
    EXPECT_EQ(StepCount(kEffectBlindFromLeft, kStage), 52);
    EXPECT_EQ(StepCount(kEffectBlindFromTop, kStage), 44);
    EXPECT_EQ(StepCount(kEffectOverlap, kStage), 9);
    EXPECT_EQ(StepCount(kEffectFadeIn, kStage), 8);
    EXPECT_EQ(StepCount(kEffectNormal, kStage), 16);
    EXPECT_EQ(StepCount(-1, kStage), 16);
    EXPECT_EQ(StepCount(kEffectNone, kStage), 0);
    EXPECT_EQ(StepCount(kEffectFromLeft, Rect{10, 0, 0, 10}), 0);
    EXPECT_EQ(StepCount(kEffectNormal, Rect{INT32_MIN, 0, INT32_MAX, 480}), 0);
}

// Every effect's steps on its own tile the whole 640 x 480 stage.
TEST(EffectStepsTest, EveryEffectRevealsTheWholeStage) {
    const Surface stage = PatternSurface(640, 480, PixelFormat::Rgb565());
    for (int effect : kAllEffects) {
        if (effect == kEffectNone) {
            continue;
        }
        Surface screen;
        ASSERT_TRUE(screen.Create(640, 480, PixelFormat::Rgb565()));
        EffectSteps steps(effect, kStage);
        for (int i = 0; i < steps.Count(); ++i) {
            steps.Draw(i, stage, screen);
        }
        EXPECT_TRUE(SameRect(stage, screen, kStage)) << "effect " << effect;
    }
}

TEST(EffectStepsTest, FadeInFirstStepCopiesTwoCellsPerBlock) {
    const Surface stage = PatternSurface(16, 8, PixelFormat::Rgb565());
    Surface screen;
    ASSERT_TRUE(screen.Create(16, 8, PixelFormat::Rgb565()));
    EffectSteps(kEffectFadeIn, Rect{0, 0, 16, 8}).Draw(0, stage, screen);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool copied = x % 4 == 0 && (y % 4 == 0 || y % 4 == 2);
            EXPECT_EQ(screen.Row(y)[x] != 0, copied) << x << "," << y;
        }
    }
}

TEST(EffectStepsTest, ColumnInterleaveAndWipeStrips) {
    const Surface stage = PatternSurface(64, 8, PixelFormat::Rgb555());
    Surface screen;
    ASSERT_TRUE(screen.Create(64, 8, PixelFormat::Rgb555()));
    EffectSteps(kEffectNormal, Rect{0, 0, 64, 8}).Draw(3, stage, screen);
    for (int x = 0; x < 64; ++x) {
        EXPECT_EQ(screen.Row(5)[x] != 0, x % 16 == 3) << x;
    }
    screen.Fill(0);
    EffectSteps(kEffectFromRight, Rect{0, 0, 64, 8}).Draw(2, stage, screen);
    for (int x = 0; x < 64; ++x) {
        EXPECT_EQ(screen.Row(0)[x] != 0, x >= 52 && x < 56) << x;
    }
    screen.Fill(0);
    EffectSteps(kEffectFromBottom, Rect{0, 0, 64, 8}).Draw(0, stage, screen);
    EXPECT_EQ(Changed(screen), 64 * 4);
    EXPECT_NE(screen.Row(4)[0], 0);
    EXPECT_EQ(screen.Row(3)[0], 0);
}

TEST(EffectStepsTest, FadeBandStartsWithHighestCell) {
    const Surface stage = PatternSurface(16, 64, PixelFormat::Rgb565());
    Surface screen;
    ASSERT_TRUE(screen.Create(16, 64, PixelFormat::Rgb565()));
    EffectSteps steps(kEffectFadeFromTop, Rect{0, 0, 16, 64});
    steps.Draw(0, stage, screen);
    EXPECT_EQ(Changed(screen), 0);
    steps.Draw(1, stage, screen);
    // Cell 15 is (row 3, column 2) of the first block row only.
    EXPECT_EQ(Changed(screen), 4);
    for (int x = 2; x < 16; x += 4) {
        EXPECT_NE(screen.Row(3)[x], 0);
    }
}

TEST(EffectStepsTest, BlindsFillOneLinePerSlat) {
    const Surface stage = PatternSurface(64, 2, PixelFormat::Rgb565());
    Surface screen;
    ASSERT_TRUE(screen.Create(64, 2, PixelFormat::Rgb565()));
    EffectSteps steps(kEffectBlindFromLeft, Rect{0, 0, 64, 2});
    steps.Draw(2, stage, screen);  // front at 40: lines 40 and 19
    EXPECT_EQ(Changed(screen), 4);
    EXPECT_NE(screen.Row(0)[40], 0);
    EXPECT_NE(screen.Row(1)[19], 0);
    screen.Fill(0);
    EffectSteps right(kEffectBlindFromRight, Rect{0, 0, 64, 2});
    right.Draw(0, stage, screen);  // p = 44: lines 44 and 65 (outside)
    EXPECT_EQ(Changed(screen), 2);
    EXPECT_NE(screen.Row(0)[44], 0);
}

TEST(EffectStepsTest, OverlapCrossFadesFromTheOldScreen) {
    const PixelFormat f = PixelFormat::Rgb565();
    Surface stage;
    ASSERT_TRUE(stage.Create(4, 2, f));
    stage.Fill(0xFFFFFF);
    Surface screen;
    ASSERT_TRUE(screen.Create(4, 2, f));
    EffectSteps steps(kEffectOverlap, Rect{0, 0, 4, 2});
    steps.Draw(0, stage, screen);
    EXPECT_EQ(Changed(screen), 0);
    for (int i = 1; i <= 4; ++i) {
        steps.Draw(i, stage, screen);
    }
    // Half way: every channel at half its maximum (white x 16 / 32, black x 16 / 32).
    EXPECT_EQ(screen.Row(1)[3], (15 << 11) | (31 << 5) | 15);
    for (int i = 5; i < 9; ++i) {
        steps.Draw(i, stage, screen);
    }
    EXPECT_TRUE(SameRect(stage, screen, stage.Bounds()));
}

TEST(EffectStepsTest, DestinationsPartlyOffScreenStayInside) {
    const Surface stage = PatternSurface(64, 48, PixelFormat::Rgb565());
    Surface screen;
    ASSERT_TRUE(screen.Create(40, 30, PixelFormat::Rgb565()));
    const Rect places[] = {{-10, -7, 54, 41},
                           {20, 15, 84, 63},
                           {-100, 0, 0, 48},
                           {0, 0, 1000, 1000},
                           {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
    for (const Rect& d : places) {
        for (int effect : kAllEffects) {
            EffectSteps steps(effect, d);
            for (int i = 0; i < steps.Count(); ++i) {
                steps.Draw(i, stage, screen);
            }
        }
    }
    // The first place leaves stage (10, 7) at screen (0, 0).
    Surface fresh;
    ASSERT_TRUE(fresh.Create(40, 30, PixelFormat::Rgb565()));
    EffectSteps steps(kEffectFadeIn, Rect{-10, -7, 54, 41});
    for (int i = 0; i < steps.Count(); ++i) {
        steps.Draw(i, stage, fresh);
    }
    EXPECT_EQ(fresh.Row(0)[0], stage.Row(7)[10]);
    EXPECT_EQ(fresh.Row(29)[39], stage.Row(36)[49]);
}

class PresentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(screen_.Create(PixelFormat::Rgb565()));
        stage_ = PatternSurface(640, 480, PixelFormat::Rgb565());
    }
    std::vector<int> Run(int effect, int time, const Rect& destination = kStage) {
        clock_.ClearSleeps();
        PresentWithEffect(stage_, screen_, destination, effect, time, {&clock_, nullptr, nullptr});
        return clock_.Sleeps();
    }

    host::VirtualClock clock_;
    Screen screen_;
    Surface stage_;
};

TEST_F(PresentTest, PauseTable) {
    EXPECT_EQ(Run(kEffectFadeIn, 100), std::vector<int>(8, 100));
    EXPECT_EQ(Run(kEffectNormal, 100), std::vector<int>(16, 33));
    EXPECT_EQ(Run(kEffectOneChar, 100), std::vector<int>(16, 33));
    EXPECT_EQ(Run(kEffectOverlap, 100), std::vector<int>(9, 50));
    EXPECT_EQ(Run(kEffectBlindFromLeft, 100), std::vector<int>(52, 25));
    EXPECT_EQ(Run(kEffectBlindFromTop, 100), std::vector<int>(44, 25));
    // Fades pause after steps 0, 4, 8 ...: 176 steps give 44 pauses.
    EXPECT_EQ(Run(kEffectFadeFromLeft, 70), std::vector<int>(44, 10));
    EXPECT_EQ(Run(kEffectFadeFromBottom, 70), std::vector<int>(34, 10));
    // Wipes pause after odd steps: 160 steps give 80 pauses.
    EXPECT_EQ(Run(kEffectFromRight, 80), std::vector<int>(80, 10));
    EXPECT_EQ(Run(kEffectFromTop, 80), std::vector<int>(60, 10));
    EXPECT_EQ(Run(kEffectNone, 100), std::vector<int>{});
}

TEST_F(PresentTest, PausesFollowStepIndexOnOddCounts) {
    const Rect narrow{0, 0, 20, 480};
    // 5 wipe steps pause after steps 1 and 3; 21 fade steps after 0, 4, ..., 20.
    EXPECT_EQ(Run(kEffectFromLeft, 80, narrow), std::vector<int>(2, 10));
    EXPECT_EQ(Run(kEffectFadeFromRight, 70, narrow), std::vector<int>(6, 10));
    // Pauses truncate: 10 / 3 and 10 / 7 and 3 / 4 ms.
    EXPECT_EQ(Run(kEffectNormal, 10), std::vector<int>(16, 3));
    EXPECT_EQ(Run(kEffectFadeFromLeft, 6), std::vector<int>{});
    EXPECT_EQ(Run(kEffectBlindFromRight, 3), std::vector<int>{});
}

TEST_F(PresentTest, TimeZeroRunsEveryStepWithoutPauses) {
    for (int effect : kAllEffects) {
        Surface blank;
        ASSERT_TRUE(blank.Create(640, 480, PixelFormat::Rgb565()));
        screen_.Present(blank, blank.Bounds(), blank.Bounds(), 0);
        int draws = 0;
        screen_.SetPresentedCallback([&](const Rect&) { ++draws; });
        EXPECT_TRUE(Run(effect, 0).empty()) << effect;
        EXPECT_EQ(draws, std::max(StepCount(effect, kStage), 0) + 1) << effect;
        Surface out;
        ASSERT_TRUE(screen_.CopyOut(out));
        EXPECT_TRUE(SameRect(stage_, out, kStage)) << effect;
        screen_.SetPresentedCallback(nullptr);
    }
}

TEST_F(PresentTest, SizesTheStepsDoNotTileStillEndOnTheStage) {
    const Rect odd{3, 5, 3 + 37, 5 + 23};
    for (int effect : kAllEffects) {
        Surface blank;
        ASSERT_TRUE(blank.Create(640, 480, PixelFormat::Rgb565()));
        screen_.Present(blank, blank.Bounds(), blank.Bounds(), 0);
        PresentWithEffect(stage_, screen_, odd, effect, 0, {&clock_, nullptr, nullptr});
        Surface out;
        ASSERT_TRUE(screen_.CopyOut(out));
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 37; ++x) {
                ASSERT_EQ(out.Row(5 + y)[3 + x], stage_.Row(y)[x]) << effect;
            }
        }
        EXPECT_EQ(out.Row(4)[3], 0) << effect;
    }
}

TEST_F(PresentTest, InactiveApplicationWaitsBetweenSteps) {
    std::atomic<int> active{0};
    std::atomic<int> running{0};
    int sleepsSeen = 0;
    int runningDuringWait = 0;
    clock_.SetSleepHook([&](int) {
        runningDuringWait = running.load();
        if (++sleepsSeen == 3) {
            active = 1;
        }
    });
    PresentWithEffect(stage_, screen_, kStage, kEffectFadeIn, 10, {&clock_, &active, &running});
    const std::vector<int> sleeps = clock_.Sleeps();
    ASSERT_EQ(sleeps.size(), 3u + 8u);
    EXPECT_EQ(sleeps[0], 50);
    EXPECT_EQ(sleeps[2], 50);
    EXPECT_EQ(sleeps[3], 10);
    EXPECT_EQ(runningDuringWait, 1);
    EXPECT_EQ(running.load(), 0);
}

TEST_F(PresentTest, ActiveFlagOtherThanOneButNonZeroDoesNotWait) {
    std::atomic<int> active{2};
    PresentWithEffect(stage_, screen_, kStage, kEffectFadeIn, 0, {&clock_, &active, nullptr});
    EXPECT_TRUE(clock_.Sleeps().empty());
}

TEST_F(PresentTest, NothingWithoutStageOrClock) {
    int draws = 0;
    screen_.SetPresentedCallback([&](const Rect&) { ++draws; });
    PresentWithEffect(Surface{}, screen_, kStage, kEffectFadeIn, 10, {&clock_, nullptr, nullptr});
    PresentWithEffect(stage_, screen_, kStage, kEffectFadeIn, 10, {});
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(clock_.Sleeps().empty());
}

// The worker runs an effect while the frontend copies the screen out on each report and the
// window toggles the active flag: the threads share only the screen's lock and the atomics.
TEST_F(PresentTest, EffectOnWorkerWhileFrontendReads) {
    std::atomic<int> active{0};
    std::atomic<int> reports{0};
    std::atomic<bool> done{false};
    screen_.SetPresentedCallback([&](const Rect&) { reports.fetch_add(1); });
    std::thread worker([&] {
        PresentWithEffect(stage_, screen_, kStage, kEffectOverlap, 0, {&clock_, &active, nullptr});
        done = true;
    });
    Surface out;
    ASSERT_TRUE(screen_.CopyOut(out));
    active = 1;
    while (!done.load()) {
        ASSERT_TRUE(screen_.CopyOut(out));
    }
    worker.join();
    EXPECT_EQ(reports.load(), StepCount(kEffectOverlap, kStage) + 1);
    ASSERT_TRUE(screen_.CopyOut(out));
    EXPECT_TRUE(SameRect(stage_, out, kStage));
}

}  // namespace
}  // namespace talu::stage
