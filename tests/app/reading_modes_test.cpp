// Skip and auto as the player runs them: what they pass, where they stop, and how the reader
// ends them.
#include <gtest/gtest.h>

#include "app/reader_commands.h"
#include "session_rig.h"

namespace talu::app {
namespace {

class ReadingModesTest : public PlayerTest {
  protected:
    ReaderCommands& commands = session->Commands();

    void TearDown() override {
        ReleaseSleep();
        player.WaitForWorker();
        clock.SetSleepHook(nullptr);
    }

    /// The worker stops inside its next pause until ReleaseSleep, or until skip and auto are
    /// both off when untilModeEnds.
    void HoldNextSleep(bool untilModeEnds) {
        clock.SetSleepHook([this, untilModeEnds](int) {
            std::unique_lock lock(mutex);
            if (!holding) {
                return;
            }
            inSleep = true;
            changed.notify_all();
            // The mode ends without telling this hook: look again every millisecond.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (holding && !(untilModeEnds && player.Mode() == ReadingMode::kNone) &&
                   std::chrono::steady_clock::now() < deadline) {
                changed.wait_for(lock, std::chrono::milliseconds(1));
            }
            holding = false;
        });
        std::lock_guard lock(mutex);
        holding = true;
        inSleep = false;
    }
    void WaitInSleep() {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [this] { return inSleep; }));
    }
    void ReleaseSleep() {
        {
            std::lock_guard lock(mutex);
            holding = false;
        }
        changed.notify_all();
    }

    std::vector<ModeChange> Modes() {
        std::lock_guard lock(shell.mutex);
        return std::exchange(shell.modes, {});
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool holding = false;
    bool inSleep = false;
};

constexpr ModeChange kSkipStarted{ReadingMode::kSkip, ReadingMode::kNone};
constexpr ModeChange SkipStopped(ModeStop reason) {
    return {ReadingMode::kNone, ReadingMode::kSkip, reason};
}

// A click, any other key, or letting go of the held skip key ends skip at once: the next page
// waits though it was read. A skip toggled on stays on when a held key is let go.
TEST_F(ReadingModesTest, TheReaderEndsSkipAndTheNextPageWaits) {
    settings.skipUnread = 1;
    const struct {
        const char* name;
        std::function<void()> start;
        std::function<void()> end;
    } cases[] = {
        {"click", [&] { commands.ToggleSkip(); }, [&] { commands.Click(); }},
        {"key", [&] { commands.ToggleSkip(); }, [&] { commands.LeaveFastForward(); }},
        {"toggled", [&] { commands.ToggleSkip(); }, [&] { commands.ToggleSkip(); }},
        {"let go", [&] { commands.HoldSkip(true); }, [&] { commands.HoldSkip(false); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        steps.waits.clear();
        Open("one<P><TIMER><TIMER TIME=\"500\">two<P>three<P>");
        HoldNextSleep(false);
        c.start();
        WaitInSleep();
        if (std::string_view(c.name) != "let go") {
            commands.HoldSkip(false);  // a held key let go that did not start this skip
        }
        EXPECT_EQ(commands.Mode(), ReadingMode::kSkip);
        c.end();
        EXPECT_EQ(commands.Mode(), ReadingMode::kNone);
        ReleaseSleep();
        player.WaitForWorker();
        EXPECT_EQ(Modes(), (std::vector<ModeChange>{kSkipStarted, SkipStopped(ModeStop::kClick)}));
        EXPECT_EQ(steps.waits.size(), 2u);  // "two" waits
        EXPECT_EQ(LastTyped(), "two");
        session->CloseBook();
    }
}

// A click in auto's pause ends auto; the book then waits at that page, idle, so that a save
// can follow at once.
TEST_F(ReadingModesTest, AClickInAutosPauseLeavesTheBookWaitingThere) {
    Open("one<P>two<P>");
    ASSERT_TRUE(commands.Save());
    HoldNextSleep(true);
    ASSERT_TRUE(commands.ToggleAuto());
    WaitInSleep();
    EXPECT_TRUE(player.WorkerRunning());
    commands.Click();
    EXPECT_FALSE(player.WorkerRunning());
    EXPECT_EQ(steps.waits.size(), 1u);
    EXPECT_TRUE(commands.Can(ReaderCommand::kSave).Allowed());
    EXPECT_EQ(Modes(), (std::vector<ModeChange>{
                           {ReadingMode::kAuto, ReadingMode::kNone},
                           {ReadingMode::kNone, ReadingMode::kAuto, ModeStop::kClick}}));
    ClickAndWait();
    EXPECT_EQ(LastTyped(), "two");
}

}  // namespace
}  // namespace talu::app
