#include "app/reader_commands.h"

#include <gtest/gtest.h>

#include <functional>

#include "script/messages.h"
#include "session_rig.h"
#include "support/file_contents.h"

namespace talu::app {
namespace {

// Every command against every state a reader can meet: whether it is allowed (and why not), and
// that giving it anyway does exactly that much.
enum class State {
    kTyping,
    kEffect,
    kBox,
    kFastForward,
    kClickWait,
    kChoice,
    kForm,
    kHidden,
    kNoSavePoint,
    kAuto,
    kSemiAuto,
};

const char* Name(State state) {
    constexpr const char* kNames[] = {"typing",        "effect", "box",      "fast-forward",
                                      "click",         "choice", "form",     "hidden",
                                      "no-save-point", "auto",   "semi-auto"};
    return kNames[static_cast<int>(state)];
}

constexpr ReaderCommand kCommands[] = {
    ReaderCommand::kClick,      ReaderCommand::kGotoNextChoice, ReaderCommand::kCloseWindow,
    ReaderCommand::kSave,       ReaderCommand::kLoad,           ReaderCommand::kBookmarkMenu,
    ReaderCommand::kInitialize, ReaderCommand::kSavePicture,    ReaderCommand::kSettings,
    ReaderCommand::kSkip,       ReaderCommand::kAuto,
};

constexpr Refusal N = Refusal::kNone;
constexpr Refusal R = Refusal::kRunning;
constexpr Refusal F = Refusal::kFastForward;
constexpr Refusal C = Refusal::kChoicePending;
constexpr Refusal M = Refusal::kFormPending;
constexpr Refusal H = Refusal::kWindowHidden;

// Rows in State order, columns in kCommands order.
constexpr Refusal kExpected[][11] = {
    // click GNC CloseWindow Save Load Menu Initialize Picture Settings Skip Auto
    {N, N, R, R, N, R, R, N, N, N, N},                        // typing
    {N, N, R, R, N, R, R, N, N, N, N},                        // effect
    {N, N, R, R, N, R, R, N, N, N, N},                        // box
    {N, F, F, R, N, R, R, N, N, F, F},                        // fast-forward
    {N, N, N, N, N, N, N, N, N, N, N},                        // click
    {N, C, C, N, N, N, N, N, N, C, C},                        // choice
    {N, M, M, N, N, N, N, N, N, M, M},                        // form
    {N, N, H, N, N, N, N, N, N, H, H},                        // hidden
    {N, N, N, Refusal::kNotYetSavable, N, N, N, N, N, N, N},  // no save point
    {N, N, N, Refusal::kAutoSave, N, N, N, N, N, N, N},       // auto
    {N, N, N, Refusal::kAutoSave, N, N, N, N, N, N, N},       // semi-auto
};

class ReaderCommandsTest : public PlayerTest {
  protected:
    ReaderCommands& commands = session->Commands();

    void TearDown() override {
        Release();
        player.WaitForWorker();
        clock.SetSleepHook(nullptr);
    }

    /// The worker stops inside its next pause until Release (or until the book is closed).
    void HoldSleeps() {
        holding = true;
        clock.SetSleepHook([this](int) {
            std::unique_lock lock(holdMutex);
            inSleep = true;
            holdChanged.notify_all();
            while (holding && !clock.Interrupted() &&
                   !(untilModeEnds && player.Mode() == ReadingMode::kNone)) {
                holdChanged.wait_for(lock, std::chrono::milliseconds(1));
            }
        });
    }
    void WaitInSleep() {
        std::unique_lock lock(holdMutex);
        holdChanged.wait(lock, [this] { return inSleep; });
    }
    void Release() {
        {
            std::lock_guard lock(holdMutex);
            holding = false;
        }
        holdChanged.notify_all();
        shell.ReleaseBoxes();
    }

    /// Opens text with slot 1 already initialised, and brings the reader into state.
    void Reach(State state) {
        const char* books[] = {
            "one<P>two<P>",              // typing
            "<KICK TIME=\"40\">one<P>",  // effect
            "<END>",                     // box
            "one<P><TIMER><TIMER TIME=\"1000\">two<P><A HREF=\"#x\" ALT=\"x\"><A NAME=\"x\">",
            "one<P>two<P>",                                                  // click
            "one<P><A HREF=\"#x\" ALT=\"go\"><A NAME=\"x\">two<P>",          // choice
            "one<P><FORM><INPUT TYPE=\"submit\" NAME=\"go\"></FORM>two<P>",  // form
            "one<P>two<P>",                                                  // hidden
            "one<W>two<P>",                                                  // no save point
            "<BOOKMARK MODE=\"AUTO\">one<P>two<P>",                          // auto
            "<BOOKMARK MODE=\"SEMIAUTO\">one<P>two<P>",                      // semi-auto
        };
        dir.Write("book.talu", books[static_cast<int>(state)]);
        player.SetListener(listener);
        ASSERT_TRUE(session->LoadBook(dir.Inside("book.talu")));
        interpreter = session->GetInterpreter();
        ASSERT_TRUE(session->Bookmarks().Initialize(1));
        settings.textWait.Set(state == State::kTyping ? 50 : 0);
        if (state == State::kTyping || state == State::kEffect) {
            HoldSleeps();
        } else if (state == State::kBox) {
            shell.HoldNextBox();
        }
        session->StartBook();
        switch (state) {
            case State::kTyping:
            case State::kEffect:
                WaitInSleep();
                return;
            case State::kBox:
                shell.WaitForBox();
                return;
            case State::kFastForward:
                player.WaitForWorker();
                HoldSleeps();
                player.GotoNextChoice();
                WaitInSleep();
                return;
            case State::kChoice:
            case State::kForm:
            case State::kAuto:
            case State::kSemiAuto:
                player.WaitForWorker();
                ClickAndWait();
                return;
            case State::kHidden:
                player.WaitForWorker();
                ASSERT_TRUE(commands.CloseWindow());
                return;
            default:
                player.WaitForWorker();
                return;
        }
    }

    std::string Slot(int slot) {
        return test::ReadText(dir.Path() / ("book.0" + std::to_string(slot) + ".bmk"));
    }

    std::mutex holdMutex;
    std::condition_variable holdChanged;
    std::atomic<bool> holding{false};  // also cleared without the lock before a load
    bool inSleep = false;
    // The held pause also ends once skip and auto are off.
    bool untilModeEnds = false;

    std::vector<ModeChange> Modes() {
        std::lock_guard lock(shell.mutex);
        return std::exchange(shell.modes, {});
    }
};

TEST_F(ReaderCommandsTest, EveryCommandInEveryState) {
    for (int row = 0; row < static_cast<int>(std::size(kExpected)); ++row) {
        const State state = static_cast<State>(row);
        for (int column = 0; column < static_cast<int>(std::size(kCommands)); ++column) {
            const ReaderCommand command = kCommands[column];
            SCOPED_TRACE(std::string(Name(state)) + ", command " + std::to_string(column));
            Reach(state);
            const Verdict verdict = commands.Can(command);
            EXPECT_EQ(verdict.reason, kExpected[row][column]);
            const std::string slot1 = Slot(1);
            const std::size_t boxes = shell.boxes.size();
            switch (command) {
                case ReaderCommand::kClick:
                    commands.Click();
                    if (state == State::kHidden) {
                        EXPECT_FALSE(player.TextWindowHidden());  // the click only shows it
                        EXPECT_FALSE(player.WorkerRunning());
                    }
                    if (state == State::kFastForward) {
                        EXPECT_FALSE(player.FastForward());
                    }
                    if (state == State::kForm || state == State::kChoice) {
                        EXPECT_FALSE(player.WorkerRunning());  // only SUBMIT or a link goes on
                    }
                    break;
                case ReaderCommand::kGotoNextChoice:
                    EXPECT_EQ(commands.GotoNextChoice(), verdict.Allowed());
                    EXPECT_EQ(player.FastForward(),
                              verdict.Allowed() || state == State::kFastForward);
                    break;
                case ReaderCommand::kCloseWindow:
                    EXPECT_EQ(commands.CloseWindow(), verdict.Allowed());
                    EXPECT_EQ(player.TextWindowHidden(),
                              verdict.Allowed() || state == State::kHidden);
                    break;
                case ReaderCommand::kSave:
                    EXPECT_EQ(commands.Save(), verdict.Allowed());
                    EXPECT_EQ(Slot(1) != slot1, verdict.Allowed());
                    EXPECT_EQ(shell.boxes.size() > boxes, verdict.Explained());
                    break;
                case ReaderCommand::kLoad:
                    // The initialised slot starts the book from its top, ending what ran; the
                    // book read again is not held.
                    holding = false;
                    EXPECT_TRUE(commands.Load());
                    player.WaitForWorker();
                    EXPECT_TRUE(player.LoadedFromBookmark());
                    EXPECT_FALSE(player.FastForward());
                    EXPECT_FALSE(player.TextWindowHidden());
                    break;
                case ReaderCommand::kInitialize:
                    EXPECT_EQ(commands.Initialize(2, false), verdict.Allowed());
                    EXPECT_EQ(session->Bookmarks().SlotExists(2), verdict.Allowed());
                    break;
                case ReaderCommand::kSkip:
                case ReaderCommand::kAuto: {
                    const ReadingMode mode =
                        command == ReaderCommand::kSkip ? ReadingMode::kSkip : ReadingMode::kAuto;
                    shell.modes.clear();
                    EXPECT_EQ(command == ReaderCommand::kSkip ? commands.ToggleSkip()
                                                              : commands.ToggleAuto(),
                              verdict.Allowed());
                    // Started (the shell heard it first), or nothing changed at all.
                    std::vector<ModeChange> heard;
                    {
                        std::lock_guard lock(shell.mutex);
                        heard.assign(shell.modes.begin(),
                                     shell.modes.begin() + std::min<long>(1, shell.modes.size()));
                    }
                    EXPECT_EQ(heard, verdict.Allowed() ? std::vector<ModeChange>{{mode}}
                                                       : std::vector<ModeChange>{});
                    break;
                }
                default:
                    break;  // dialogs of the window
            }
            Release();
            session->CloseBook();
            std::filesystem::remove(dir.Path() / "book.02.bmk");
        }
    }
}

// The questions before a load, a save to a chosen slot and an initialisation: Cancel at any of
// them keeps slot 1 as it was; a current slot without a file is told without a question, in the
// reader's language.
TEST_F(ReaderCommandsTest, QuestionsAskedAndCancelKeepsTheSlot) {
    const std::string load = "Load from bookmark  No.1.", init = "Initialoze bookmark No.1",
                      sure = "Are you OK?", none = "Unable to load from bookmark  No.1.";
    const std::string noneJa =  // "しおりからロード出来ません" in CP932
        "\x82\xb5\x82\xa8\x82\xe8\x82\xa9\x82\xe7\x83\x8d\x81\x5b\x83\x68\x8f\x6f\x97\x88\x82\xdc"
        "\x82\xb9\x82\xf1";
    using Command = std::function<bool(ReaderCommands&)>;
    const Command Load = [](ReaderCommands& c) { return c.Load(); };
    const Command Init = [](ReaderCommands& c) { return c.Initialize(1, true); };
    const Command Save = [](ReaderCommands& c) { return c.SaveTo(1, "x"); };
    const struct {
        const char* name;
        int lang;
        bool saved;  // slot 1 holds a bookmark first
        std::vector<bool> answers;
        Command command;
        std::vector<std::string> asked;
        bool done;
        bool written;  // slot 1's file changed
    } cases[] = {
        {"load cancelled", 1, true, {false}, Load, {load}, false, false},
        {"load agreed", 1, true, {true}, Load, {load}, true, false},
        {"load of an empty slot", 1, false, {}, Load, {none}, false, false},
        {"load of an empty slot, ja", 0, false, {}, Load, {noneJa}, false, false},
        {"save cancelled", 1, true, {false}, Save, {"Save to bookmark No.1."}, false, false},
        {"initialize, first cancelled", 1, true, {false}, Init, {init}, false, false},
        {"initialize, second cancelled", 1, true, {true, false}, Init, {init, sure}, false, false},
        {"initialize, both OK", 1, true, {true, true}, Init, {init, sure}, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings.langMode = c.lang;
        Open("one<P>two<P>");
        if (c.saved) {
            ASSERT_TRUE(commands.Save());
        }
        ClickAndWait();
        EXPECT_EQ(commands.Can(ReaderCommand::kLoad).reason == Refusal::kNoSlotFile, !c.saved);
        EXPECT_FALSE(commands.LoadSlot(3));  // no file, no question
        const std::string before = Slot(1);
        shell.boxes.clear();
        shell.answers = c.answers;
        EXPECT_EQ(c.command(commands), c.done);
        player.WaitForWorker();
        EXPECT_EQ(shell.boxes, c.asked);
        EXPECT_EQ(Slot(1) != before, c.written);
        EXPECT_EQ(player.LoadedFromBookmark(), c.done && !c.written);
        session->CloseBook();
        std::filesystem::remove(dir.Path() / "book.01.bmk");
    }
}

// A load leaves nothing of the reading before it: the speeds a WAIT set, the stage's icons. (The
// character who entered after the save, entered again without an error, is run_reload's.)
TEST_F(ReaderCommandsTest, ALoadLeavesNothingOfTheReadingBefore) {
    Open(
        "<BACKGROUND COLOR=\"#C00000\"><SNAP WIDTH=\"8\" SRC=\"c.bmp\">one<P>"
        "<WAIT TEXT=\"7\"><ICON SRC=\"c.bmp\" MODE=\"P\">two<P>");
    ASSERT_TRUE(commands.Save());
    ClickAndWait();
    stage::Stage& stage = session->GetStage();
    ASSERT_EQ(settings.textWait.current, 7);
    ASSERT_EQ(stage.PageIcons().Count(), 1);
    ASSERT_TRUE(session->LoadBookmark(1));
    EXPECT_EQ(settings.textWait.current, settings.textWait.user.load());
    EXPECT_EQ(stage.PageIcons().Count(), 0);  // the slot's own lines had none then
}

// Close Window shows the stage without the message window at once, and the click that brings
// it back shows the page as it was.
TEST_F(ReaderCommandsTest, CloseWindowShowsTheStageWithoutTheWindowUntilTheNextClick) {
    Open("<BACKGROUND COLOR=\"#3060C0\">Some text to hide.<P>");
    stage::Surface before;
    ASSERT_TRUE(session->GetScreen().CopyOut(before));
    ASSERT_TRUE(commands.CloseWindow());
    stage::Surface hidden;
    ASSERT_TRUE(session->GetScreen().CopyOut(hidden));
    const int width = hidden.Width();
    bool allBackground = true;
    for (int y = 0; y < hidden.Height(); ++y) {
        for (int x = 0; x < width; ++x) {
            allBackground = allBackground && hidden.Row(y)[x] == hidden.Row(0)[0];
        }
    }
    EXPECT_TRUE(allBackground);  // no frame, no text
    commands.Click();            // that it only brings the window back is the table's (hidden row)
    stage::Surface shown;
    ASSERT_TRUE(session->GetScreen().CopyOut(shown));
    EXPECT_EQ(shown.Row(shown.Height() / 2)[width / 2], before.Row(before.Height() / 2)[width / 2]);
    EXPECT_NE(shown.Row(shown.Height() / 2)[width / 2], hidden.Row(0)[0]);
}

// The keys' highlight reaches the screen (the links it leaves and takes are presented); Enter
// with none highlighted takes the link under the mouse. That Enter takes the keys' link though
// the mouse points elsewhere is the window's test (reading_tests).
TEST_F(ReaderCommandsTest, TheKeysHighlightIsPresentedAndEnterWithoutOneTakesTheMousesLink) {
    RecordPresents();
    Open("<A HREF=\"#a\" ALT=\"A\" ANSWER=\"pickedA\"><A HREF=\"#b\" ALT=\"B\"><A NAME=\"a\">");
    const interp::LinkSet& links = interpreter->Links();
    TakePresents();
    EXPECT_TRUE(commands.MoveChoice(+1));
    EXPECT_TRUE(commands.MoveChoice(+1));
    EXPECT_EQ(TakePresents(), (std::vector<std::optional<stage::Rect>>{
                                  links.RectOf(0), links.RectOf(0), links.RectOf(1)}));
    commands.PointAt(-1, -1);  // the mouse takes the highlight over: none
    const stage::Rect a = links.RectOf(0);
    commands.Press(std::pair{a.left + 1, a.top + 1});
    player.WaitForWorker();
    EXPECT_TRUE(interpreter->Variables().IsSet("pickedA"));
    EXPECT_FALSE(commands.MoveChoice(+1));  // no choice waits now
}

// The middle button: fast-forward in progress only ends; at a wait the book goes on to its choice.
TEST_F(ReaderCommandsTest, TheMiddleButtonStopsFastForwardOrGoesToTheNextChoice) {
    Reach(State::kFastForward);
    EXPECT_FALSE(commands.StopOrGotoNextChoice());
    EXPECT_FALSE(player.FastForward());
    Release();
    session->CloseBook();
    Open("one<P>two<P><A HREF=\"#x\" ALT=\"x\"><A NAME=\"x\">");
    EXPECT_TRUE(commands.StopOrGotoNextChoice());
    player.WaitForWorker();
    EXPECT_TRUE(player.ChoicePending());
}

constexpr ModeChange kSkipStarted{ReadingMode::kSkip, ReadingMode::kNone};
constexpr ModeChange SkipStopped(ModeStop reason) {
    return {ReadingMode::kNone, ReadingMode::kSkip, reason};
}

// A click, any other key, the middle button, or letting go of the held skip key ends skip at once:
// the next page waits though it was read. A skip toggled on stays on when a held key is let go.
TEST_F(ReaderCommandsTest, TheReaderEndsSkipAndTheNextPageWaits) {
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
        {"middle button", [&] { commands.ToggleSkip(); },
         [&] { EXPECT_FALSE(commands.StopOrGotoNextChoice()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        steps.waits.clear();
        Open("one<P><TIMER><TIMER TIME=\"500\">two<P>three<P>");
        HoldSleeps();
        c.start();
        WaitInSleep();
        if (std::string_view(c.name) != "let go") {
            commands.HoldSkip(false);  // a held key let go that did not start this skip
        }
        EXPECT_EQ(commands.Mode(), ReadingMode::kSkip);
        c.end();
        EXPECT_EQ(commands.Mode(), ReadingMode::kNone);
        Release();
        player.WaitForWorker();
        EXPECT_EQ(Modes(), (std::vector<ModeChange>{kSkipStarted, SkipStopped(ModeStop::kClick)}));
        EXPECT_EQ(steps.waits.size(), 2u);  // "two" waits
        EXPECT_EQ(LastTyped(), "two");
        session->CloseBook();
        inSleep = false;
    }
}

// A click in auto's pause ends auto; the book then waits at that page, idle, so that a save
// can follow at once.
TEST_F(ReaderCommandsTest, AClickInAutosPauseLeavesTheBookWaitingThere) {
    Open("one<P>two<P>");
    ASSERT_TRUE(commands.Save());
    untilModeEnds = true;
    HoldSleeps();
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
