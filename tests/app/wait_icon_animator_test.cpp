// The wait-icon thread on a virtual clock: frame order and timing, pausing and stopping. That
// the first frame is up at the wait mark before the wait is told is player_test's (icons).
#include "app/wait_icon_animator.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "support/interpreter_rig.h"

namespace talu::app {
namespace {

// Engine colours keep red in the low byte.
constexpr uint32_t kStageBlue = 0x800000;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kYellow = 0x00FFFF;
constexpr stage::Point kIconCentre{104, 64};

class WaitIconAnimatorTest : public ::testing::Test {
  protected:
    WaitIconAnimatorTest() {
        rig.screen.Create(stage::PixelFormat::Rgb565());
        rig.stage.Background().Fill(kStageBlue);
        rig.stage.Compose(0);
        rig.stage.Present(std::nullopt, 0, 0);
        stage::PictureServices services;
        services.plugins = &rig.plugins;
        services.bookFolder = rig.dir.InsideFolder();
        loader = std::make_unique<stage::PictureLoader>(services);
        // Each sleep of the icon thread samples the screen at the icon, as the reader sees it;
        // only that thread touches the samples until it has ended.
        iconClock.SetSleepHook([this](int) {
            samples.push_back(ColourAt(kIconCentre));
            if (static_cast<int>(samples.size()) == stopAfter) {
                animator.waitIconRun = 0;
            } else if (animator.waitIconRun.load() == 0 && ++sleepsAfterStop > 1000) {
                uiPaused = 0;  // a thread that ignores the stop is let go, and the test fails
                textWindowHidden = 0;
            }
        });
    }

    /// Adds an 8 x 8 frame of colour (its top-left pixel transparent) at (100, 60).
    void AddFrame(uint32_t colour, int time) {
        stage::Surface picture;
        picture.Create(8, 8, stage::PixelFormat::Rgb565());
        picture.Fill(colour);
        picture.FillRect(stage::Rect{0, 0, 1, 1}, 0xFF00FF);
        const std::string name = "f" + std::to_string(list.Count()) + ".bmp";
        ASSERT_TRUE(picture.WriteBmp(rig.dir.Path() / name));
        stage::FramePlacement placement;
        placement.time = time;
        placement.left = 100;
        placement.top = 60;
        ASSERT_TRUE(list.AddFrame(*loader, name, placement));
    }

    uint32_t ColourAt(stage::Point point) {
        stage::Surface copy;
        return rig.screen.CopyOut(copy) ? copy.Row(point.y)[point.x] : 0;
    }
    uint32_t Native(uint32_t colour) { return rig.stage.StageSurface().NativeColour(colour); }
    std::vector<uint8_t> Shown() {
        stage::Surface copy;
        return rig.screen.CopyOut(copy) ? copy.EncodeBmp() : std::vector<uint8_t>{};
    }

    /// Animates until the icon thread has taken count samples and ended.
    void Run(int count) {
        stopAfter = count;
        animator.Start(rig.stage, list, [] {});
        while (animator.waitIconAlive.load() != 0) {
            std::this_thread::yield();
        }
        animator.Stop();
    }

    test::InterpreterRig rig;
    std::unique_ptr<stage::PictureLoader> loader;
    stage::WaitIconList list{"P"};
    host::VirtualClock iconClock;
    std::atomic<int> uiPaused{0};
    std::atomic<int> textWindowHidden{0};
    WaitIconAnimator animator{iconClock, uiPaused, textWindowHidden};
    std::vector<uint32_t> samples;
    int stopAfter = 0;
    int sleepsAfterStop = 0;
};

TEST_F(WaitIconAnimatorTest, ThreeFramesCycleInRingOrderEach210Ms) {
    AddFrame(kRed, 200);
    AddFrame(kGreen, 200);
    AddFrame(kYellow, 200);
    const std::vector<uint8_t> before = Shown();
    Run(70);
    // A frame gives way once more than 200 ms have passed in 10 ms sleeps: 21 sleeps each.
    std::vector<uint32_t> expected;
    for (uint32_t colour : {kRed, kGreen, kYellow}) {
        expected.insert(expected.end(), 21, Native(colour));
    }
    expected.insert(expected.end(), 7, Native(kRed));
    EXPECT_EQ(samples, expected);
    EXPECT_TRUE(Shown() == before) << "the icon is erased at the end, every pixel of it";
}

TEST_F(WaitIconAnimatorTest, FrameWithTimeZeroNeverGivesWayAndNothingIsDrawnWhilePaused) {
    AddFrame(kRed, 0);
    AddFrame(kGreen, 10);
    Run(300);
    EXPECT_EQ(samples, std::vector<uint32_t>(300, Native(kRed)));
    samples.clear();
    uiPaused = 1;
    Run(100);
    EXPECT_EQ(samples, std::vector<uint32_t>(100, Native(kStageBlue)));
}

TEST_F(WaitIconAnimatorTest, StopEndsPromptlyWhilePausedOrHidden) {
    AddFrame(kRed, 200);
    for (std::atomic<int>* flag : {&uiPaused, &textWindowHidden}) {
        *flag = 1;
        sleepsAfterStop = 0;
        animator.Start(rig.stage, list, [] {});
        animator.Stop();
        EXPECT_LE(sleepsAfterStop, 1);
        EXPECT_EQ(animator.waitIconAlive.load(), 0);
        *flag = 0;
    }
}

}  // namespace
}  // namespace talu::app
