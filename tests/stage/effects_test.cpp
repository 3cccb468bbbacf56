#include "stage/effects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "host/clock.h"
#include "pixel_test_support.h"

namespace talu::stage {
namespace {

using testing::PatternSurface;
using testing::SameRect;
using testing::Solid;

constexpr Rect kStage{0, 0, 640, 480};
const int kAllEffects[] = {-1, 0,  1,  2,  4,  6,  7,  8,  9,  10, 11, 12,
                           13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 99};

// Checks that screen pixel (x, y) shows stage pixel (x - left, y - top) of destination d where
// that exists, and is blank elsewhere.
void ExpectShows(const Surface& screen, const Surface& stage, const Rect& d) {
    testing::ExpectPixels(screen, [&](int x, int y) -> uint16_t {
        const int64_t sx = int64_t{x} - d.left;
        const int64_t sy = int64_t{y} - d.top;
        const bool inside = x < int64_t{d.right} && y < int64_t{d.bottom} && sx >= 0 && sy >= 0 &&
                            sx < stage.Width() && sy < stage.Height();
        return inside ? stage.Row(sy)[sx] : 0;
    });
}

// Draws every step of effect over destination d on a blank screen of the given width.
void ExpectAllStepsReveal(int effect, const Rect& d, const Surface& stage, int side) {
    SCOPED_TRACE(::testing::Message() << "effect " << effect);
    Surface screen = Solid(side, side * 3 / 4, stage.Format());
    EffectSteps steps(effect, d);
    for (int i = 0; i < steps.Count(); ++i) {
        steps.Draw(i, stage, screen);
    }
    ExpectShows(screen, stage, d);
}

// The counts on the whole stage show in the pauses of PausesFollowEffectTimeAndStepIndex.
TEST(EffectStepsTest, StepCountsOfOddIdsAndDestinations) {
    EXPECT_EQ(StepCount(-1, kStage), 16);
    EXPECT_EQ(StepCount(kEffectNone, kStage), 0);
    EXPECT_EQ(StepCount(kEffectFromLeft, Rect{10, 0, 0, 10}), 0);
    EXPECT_EQ(StepCount(kEffectNormal, Rect{INT32_MIN, 0, INT32_MAX, 480}), 0);
}

// Every effect's steps on their own tile the whole stage, also where it lies partly off the
// screen; absurd places draw nothing and never reach outside the screen.
TEST(EffectStepsTest, EveryEffectRevealsTheWholeDestination) {
    const Surface full = PatternSurface(640, 480, PixelFormat::Rgb565());
    const Surface small = PatternSurface(64, 48, PixelFormat::Rgb565());
    for (int effect : kAllEffects) {
        if (effect != kEffectNone) {
            ExpectAllStepsReveal(effect, kStage, full, 640);
        }
        for (const Rect& d : {Rect{-10, -7, 54, 41}, Rect{20, 15, 84, 63}, Rect{-100, 0, 0, 48},
                              Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}}) {
            if (effect != kEffectNone) {
                ExpectAllStepsReveal(effect, d, small, 40);
            }
        }
    }
}

// Which cells single steps reveal, on a pattern stage of the given size.
TEST(EffectStepsTest, StepsRevealTheirOwnCells) {
    const struct {
        int effect, width, height;
        std::vector<int> steps;
        bool (*revealed)(int x, int y);
    } cases[] = {
        // Fade-in: two cells of every 4 x 4 block; then columns interleave and strips wipe.
        {kEffectFadeIn, 16, 8, {0}, [](int x, int y) { return x % 4 == 0 && y % 2 == 0; }},
        {kEffectNormal, 64, 8, {3}, [](int x, int) { return x % 16 == 3; }},
        {kEffectFromRight, 64, 8, {2}, [](int x, int) { return x >= 52 && x < 56; }},
        {kEffectFromBottom, 64, 8, {0}, [](int, int y) { return y >= 4; }},
        // A fade band starts empty, then shows cell (3, 2) of the first block row only.
        {kEffectFadeFromTop, 16, 64, {0}, [](int, int) { return false; }},
        {kEffectFadeFromTop, 16, 64, {0, 1}, [](int x, int y) { return y == 3 && x % 4 == 2; }},
        // Blinds fill one line per slat: front 40 with 19; front 44 with 65, outside.
        {kEffectBlindFromLeft, 64, 2, {2}, [](int x, int) { return x == 40 || x == 19; }},
        {kEffectBlindFromRight, 64, 2, {0}, [](int x, int) { return x == 44; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "effect " << c.effect << ", steps " << c.steps.size());
        const Surface stage = PatternSurface(c.width, c.height, PixelFormat::Rgb555());
        Surface screen = Solid(c.width, c.height, PixelFormat::Rgb555());
        EffectSteps steps(c.effect, stage.Bounds());
        for (int step : c.steps) {
            steps.Draw(step, stage, screen);
        }
        testing::ExpectPixels(screen, [&](int x, int y) -> uint16_t {
            return c.revealed(x, y) ? stage.Row(y)[x] : 0;
        });
    }
}

TEST(EffectStepsTest, OverlapCrossFadesFromTheOldScreen) {
    const Surface stage = Solid(4, 2, PixelFormat::Rgb565(), 0xFFFFFF);
    Surface screen = Solid(4, 2, PixelFormat::Rgb565());
    EffectSteps steps(kEffectOverlap, Rect{0, 0, 4, 2});
    steps.Draw(0, stage, screen);
    EXPECT_EQ(screen.Row(0)[0], 0);
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

TEST_F(PresentTest, PausesFollowEffectTimeAndStepIndex) {
    EXPECT_EQ(Run(kEffectFadeIn, 100), std::vector<int>(8, 100));
    EXPECT_EQ(Run(kEffectNormal, 100), std::vector<int>(16, 33));
    EXPECT_EQ(Run(kEffectOneChar, 100), std::vector<int>(16, 33));
    EXPECT_EQ(Run(kEffectOverlap, 100), std::vector<int>(9, 50));
    EXPECT_EQ(Run(kEffectBlindFromLeft, 100), std::vector<int>(52, 25));
    EXPECT_EQ(Run(kEffectBlindFromTop, 100), std::vector<int>(44, 25));
    EXPECT_EQ(Run(kEffectNone, 100), std::vector<int>{});
    // Fades pause after steps 0, 4, 8 ...: 176 steps give 44 pauses, 21 steps 6.
    const Rect narrow{0, 0, 20, 480};
    EXPECT_EQ(Run(kEffectFadeFromLeft, 70), std::vector<int>(44, 10));
    EXPECT_EQ(Run(kEffectFadeFromBottom, 70), std::vector<int>(34, 10));
    EXPECT_EQ(Run(kEffectFadeFromRight, 70, narrow), std::vector<int>(6, 10));
    // Wipes pause after odd steps: 160 steps give 80 pauses, 5 steps 2.
    EXPECT_EQ(Run(kEffectFromRight, 80), std::vector<int>(80, 10));
    EXPECT_EQ(Run(kEffectFromTop, 80), std::vector<int>(60, 10));
    EXPECT_EQ(Run(kEffectFromLeft, 80, narrow), std::vector<int>(2, 10));
    // Pauses truncate: 10 / 3 ms, and below 1 ms there are none.
    EXPECT_EQ(Run(kEffectNormal, 10), std::vector<int>(16, 3));
    EXPECT_EQ(Run(kEffectFadeFromLeft, 6), std::vector<int>{});
    EXPECT_EQ(Run(kEffectBlindFromRight, 3), std::vector<int>{});
}

// Time 0 runs every step without pauses; sizes the steps do not tile still end on the stage.
TEST_F(PresentTest, EveryEffectEndsShowingTheStageAtItsDestination) {
    for (const Rect& d : {kStage, Rect{3, 5, 3 + 37, 5 + 23}}) {
        for (int effect : kAllEffects) {
            SCOPED_TRACE(::testing::Message() << "effect " << effect << " width " << d.Width());
            const Surface blank = Solid(640, 480, PixelFormat::Rgb565());
            screen_.Present(blank, blank.Bounds(), blank.Bounds(), 0);
            int draws = 0;
            screen_.SetChangedCallback([&] { ++draws; });
            EXPECT_TRUE(Run(effect, 0, d).empty());
            screen_.SetChangedCallback(nullptr);
            if (d == kStage) {
                EXPECT_EQ(draws, std::max(StepCount(effect, kStage), 0) + 1);
            }
            Surface out;
            ASSERT_TRUE(screen_.CopyOut(out));
            ExpectShows(out, stage_, d);
        }
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
    std::vector<int> sleeps(3, 50);
    sleeps.resize(3 + 8, 10);
    EXPECT_EQ(clock_.Sleeps(), sleeps);
    EXPECT_EQ(runningDuringWait, 1);
    EXPECT_EQ(running.load(), 0);
    // Only 0 means inactive.
    active = 2;
    clock_.ClearSleeps();
    PresentWithEffect(stage_, screen_, kStage, kEffectFadeIn, 0, {&clock_, &active, nullptr});
    EXPECT_TRUE(clock_.Sleeps().empty());
}

TEST_F(PresentTest, NothingWithoutStageOrClock) {
    int draws = 0;
    screen_.SetChangedCallback([&] { ++draws; });
    PresentWithEffect(Surface{}, screen_, kStage, kEffectFadeIn, 10, {&clock_, nullptr, nullptr});
    PresentWithEffect(stage_, screen_, kStage, kEffectFadeIn, 10, {});
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(clock_.Sleeps().empty());
}

}  // namespace
}  // namespace talu::stage
