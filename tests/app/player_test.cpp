#include "app/player.h"

#include <gtest/gtest.h>

#include "app/session.h"
#include "script/keywords.h"
#include "session_rig.h"
#include "support/repeat.h"

namespace talu::app {
namespace {

// The kinds of wait, the end text with the close question after it, and a link without text
// taken at once are in every trace of tests/books/run (flow, media, skipread).
TEST_F(PlayerTest, EachWaitShowsThePageAsTypedWithItsChoosableLinks) {
    // The second run fills the window, so the page shows only what fitted; the rest opens the
    // next page. A wrap adds no line break, BR and NL do; a variable shows its value.
    std::string longRun(100, 'w');
    Open(
        "<SCREEN LEFT=\"0\" TOP=\"0\" WIDTH=\"200\" HEIGHT=\"100\">"
        "<A HREF=\"#n\" ANSWER=\"(who=7)\"><A NAME=\"n\">\x91\xBE\x98\x59 "
        "{who}<BR>two<NL>three<W>" +
        longRun +
        "<P><A HREF=\"#a\" ALT=\"A\"><A HREF=\"#b\" ALT=\"B\" ENABLE=\"no\">"
        "<A HREF=\"#c\" ALT=\"C\"><A NAME=\"a\"><A NAME=\"b\"><A NAME=\"c\"><TRAP>");
    ClickAndWait();
    ClickAndWait();
    ASSERT_GE(shell.pages.size(), 3u);
    EXPECT_EQ(shell.pages[0], (ShownPage{"太郎 7\n", {}}));  // the BR waits after its break
    EXPECT_EQ(shell.pages[1], (ShownPage{"太郎 7\ntwo\nthree", {}}));
    const std::string& full = shell.pages[2].text;
    ASSERT_TRUE(full.starts_with("太郎 7\ntwo\nthree"));
    const std::size_t typed = full.size() - std::string("太郎 7\ntwo\nthree").size();
    EXPECT_GT(typed, 0u);
    EXPECT_LT(typed, longRun.size());
    EXPECT_EQ(full.find('\n', 16), std::string::npos);  // wrapped lines are one line
    while (!player.ChoicePending() && shell.pages.size() < 30) {
        ClickAndWait();
    }
    ASSERT_TRUE(player.ChoicePending()) << shell.pages.size() << " " << steps.results.back();
    const ShownPage& last = shell.pages.back();
    EXPECT_EQ(last.links, (std::vector<std::string>{"A", "C"}));
    // The overflow went on on a page of its own; pages before the links held all of the run.
    std::size_t overflow = typed;
    for (std::size_t i = 3; i + 1 < shell.pages.size(); ++i) {
        overflow += shell.pages[i].text.size();
    }
    EXPECT_EQ(overflow + last.text.size(), longRun.size());
}

TEST_F(PlayerTest, OnlyOneWorkerRunsAtATime) {
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    std::atomic<int> inSleep{0};
    clock.SetSleepHook([&](int) {
        inSleep = 1;
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return release; });
    });
    Start("<W TIME=\"10\"><TRAP>");
    while (inSleep == 0) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(player.WorkerRunning());
    EXPECT_FALSE(player.StartWorker());  // the second click is lost
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    player.WaitForWorker();
    EXPECT_FALSE(player.WorkerRunning());
    clock.SetSleepHook(nullptr);
}

TEST_F(PlayerTest, TimersSleepUntilTheirMomentFromTheirOrigin) {
    // "1:05" has no colon third: 1 ms. After the W, 00:05 and 00:05:30 (5480 ms) have passed.
    Open(
        "<TIMER><TIMER TIME=\"1:05\"><W TIME=\"6000\"><TIMER TIME=\"00:05\">"
        "<TIMER TIME=\"00:05:30\"><TRAP>");
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{1, 6000}));
    Open("<TIMER><W TIME=\"1000\"><TIMER TIME=\"00:05:30\"><TRAP>");
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{1, 6000, 1000, 4480}));
}

TEST_F(PlayerTest, WaitTagsChangeAndRestoreSpeeds) {
    Open(
        "<WAIT TEXT=\"0\" BACK=\"7\">x<P><WAIT TEXT=\"USER\" BACK=\"3\" CHARACTER=\"4\"></WAIT>y<P>"
        "</WAIT></WAIT>z<P>");
    EXPECT_EQ(settings.textWait.current, 0);
    EXPECT_EQ(settings.backWait.current, 7);
    EXPECT_EQ(settings.textWait.user, 50);
    // The inner /WAIT brings back the outer WAIT's speeds, not the reader's.
    ClickAndWait();
    EXPECT_EQ(settings.textWait.current, 0);
    EXPECT_EQ(settings.backWait.current, 7);
    EXPECT_EQ(settings.charWait.current, settings.charWait.user.load());
    ClickAndWait();
    EXPECT_EQ(settings.textWait.current, 50);
    EXPECT_EQ(settings.backWait.current, 50);  // the extra /WAIT changed nothing
}

TEST_F(PlayerTest, TheSpeedStackKeepsTwentyEntries) {
    std::string book;
    for (int i = 1; i <= 21; ++i) {
        book += "<WAIT TEXT=\"" + std::to_string(i) + "\">";
    }
    Open(book + test::Repeat("</WAIT>", 21) + "x<P>");
    EXPECT_EQ(settings.textWait.current, 1);  // the outermost saved value (50) was dropped
}

TEST_F(PlayerTest, FastForwardRunsToTheNextChoice) {
    Open("a<P>b<BR>c<W><WAIT TEXT=\"9\"><A HREF=\"#x\" ALT=\"go\"><A NAME=\"x\">d<P>");
    player.GotoNextChoice();
    player.WaitForWorker();
    EXPECT_TRUE(player.ChoicePending());
    EXPECT_TRUE(player.FastForward());
    EXPECT_EQ(settings.textWait.current, 0);  // the WAIT was ignored
    EXPECT_EQ(steps.waits, (std::vector<int>{16}));
    player.Click();  // ends fast-forward only
    EXPECT_FALSE(player.FastForward());
    EXPECT_EQ(settings.textWait.current, 50);
    EXPECT_TRUE(player.ChoicePending());
    PointAt(0);
    ClickAndWait();
    EXPECT_FALSE(player.ChoicePending());
    EXPECT_EQ(steps.waits.back(), 16);
}

TEST_F(PlayerTest, ChoosingALinkAppliesItsAnswer) {
    RecordPresents();
    Open(
        "<A HREF=\"#a\" ALT=\"A\" ANSWER=\"pickedA\"><A HREF=\"#b\" ALT=\"B\" ANSWER=\"pickedB\">"
        "<A NAME=\"a\"><TRAP><A NAME=\"b\">b<P>");
    ASSERT_TRUE(player.ChoicePending()) << shell.pages.size() << " " << steps.results.back();
    const interp::LinkSet& links = interpreter->Links();
    auto presented = TakePresents();
    ASSERT_GE(presented.size(), 2u);  // the window opened, then the two links
    EXPECT_EQ(presented[presented.size() - 2], links.RectOf(0));
    EXPECT_EQ(presented.back(), links.RectOf(1));

    player.MouseMove(-1, -1);
    ClickAndWait();  // pointing at no link: the click takes none
    EXPECT_TRUE(player.ChoicePending());
    EXPECT_TRUE(TakePresents().empty());

    PointAt(1);
    EXPECT_EQ(links.Highlighted(), 1);
    EXPECT_EQ(TakePresents(), (std::vector<std::optional<stage::Rect>>{links.RectOf(1)}));
    PointAt(1);
    EXPECT_TRUE(TakePresents().empty());  // nothing changed

    ClickAndWait();
    EXPECT_FALSE(player.ChoicePending());
    EXPECT_EQ(TakePresents().front(), std::nullopt);  // the new page takes the links away
    EXPECT_TRUE(interpreter->Variables().IsSet("pickedB"));
    EXPECT_FALSE(interpreter->Variables().IsSet("pickedA"));
    EXPECT_EQ(steps.waits.back(), 16);
}

TEST_F(PlayerTest, StageSizeAndAFormThatWaitsForItsSubmitButton) {
    Open(
        "<SOUND SRC=\"a.wav\"><STAGE WIDTH=\"800\">"
        "<FORM><INPUT NAME=\"who\" VALUE=\"x\"><INPUT TYPE=\"submit\" NAME=\"go\"></FORM>after<P>");
    // A sound nothing can play lets the book go on; FORM and INPUT need no message.
    EXPECT_EQ(shell.posted, (std::vector<PlayerMessage>{FormCompleteMessage{}}));
    EXPECT_EQ(shell.sizes, (std::vector<std::pair<int, int>>{{800, 0}}));
    ASSERT_TRUE(player.FormPending());
    EXPECT_TRUE(player.Paused());

    player.ShowForm();
    interp::Form* form = interpreter->CurrentForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->SetText(interp::kFirstFormCommand, "Taro"));
    EXPECT_EQ(player.FormCommand(interp::kFirstFormCommand), 1);  // handled; the book waits
    EXPECT_EQ(player.FormCommand(interp::kFirstFormCommand + 2), 0);
    EXPECT_FALSE(player.WorkerRunning());
    EXPECT_EQ(player.FormCommand(interp::kFirstFormCommand + 1), interp::kFormSubmitted);
    player.WaitForWorker();
    EXPECT_FALSE(player.FormPending());
    EXPECT_FALSE(player.Paused());
    EXPECT_EQ(interpreter->CurrentForm(), nullptr);
    EXPECT_EQ(interpreter->Variables().Variables().Find("who"), "Taro");
    EXPECT_EQ(interpreter->Variables().Variables().Find("go"), "on");
    EXPECT_EQ(steps.waits.back(), 16);
    EXPECT_EQ(player.FormCommand(interp::kFirstFormCommand + 1), 0);  // no form any more
}

TEST_F(PlayerTest, AProgramStartsOnlyAfterTheReaderAgreedOncePerCommandLine) {
    Open(
        "<COMMAND SRC=\"HTTP://example.org/a b\"><COMMAND SRC=\"https://example.org\">"
        "<COMMAND SRC=\"viewer readme.txt\" FOLDER=\"docs\">"
        "<COMMAND SRC=\"viewer readme.txt\" FOLDER=\"docs\"><COMMAND SRC=\"viewer\">");
    // Web addresses open without a question.
    EXPECT_EQ(shell.addresses,
              (std::vector<std::string>{"HTTP://example.org/a b", "https://example.org"}));
    ASSERT_EQ(shell.boxes.size(), 3u);  // two questions and the end of the book
    EXPECT_NE(shell.boxes[0].find("viewer readme.txt"), std::string::npos);
    EXPECT_EQ(shell.started,
              (std::vector<std::string>{"viewer|readme.txt|docs", "viewer|readme.txt|docs",
                                        "viewer||" + interpreter->Book().Folder()}));
}

TEST_F(PlayerTest, NoProgramStartsWhenDeclinedOrForbidden) {
    shell.answers = {false, false};
    Open("<COMMAND SRC=\"viewer a\"><COMMAND SRC=\"viewer a\">");
    EXPECT_EQ(shell.boxes.size(), 3u);  // a declined program is asked about again
    settings.allowCommand.current = 0;
    Open("<COMMAND SRC=\"viewer a\"><COMMAND SRC=\"http://example.org\"><COMMAND>");
    EXPECT_EQ(shell.boxes.size(), 4u);  // only the end of the book
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(shell.addresses.empty());
}

TEST_F(PlayerTest, TitleAndCursorReachTheWindow) {
    Open("<TITLE ALT=\"Tale\"><CURSOR SRC=\"hand.cur\" FOLDER=\"cur\">");
    EXPECT_EQ(shell.titles, (std::vector<std::string>{"", "Tale"}));
    ASSERT_EQ(shell.cursors.size(), 1u);
    EXPECT_TRUE(shell.cursors[0].ends_with("cur\\hand.cur"));
}

// Tells at every wait whether the wait icon is on the screen at the wait mark.
class IconWatcher : public PlayerListener {
  public:
    explicit IconWatcher(const stage::Screen& screen) : screen_(screen) {}
    void StepDone(int, const script::TagRecord&) override {}
    void WaitStarted(int, int x, int y) override {
        mark = {x, y};
        stage::Surface shown;
        iconShown.push_back(screen_.CopyOut(shown) &&
                            shown.Row(y + 4)[x + 4] == shown.NativeColour(kIconColour));
    }
    static constexpr uint32_t kIconColour = 0x00FF00;
    std::vector<bool> iconShown;
    stage::Point mark;

  private:
    const stage::Screen& screen_;
};

// The wait icon at the player's waits.
class PlayerIconTest : public PlayerTest {
  protected:
    PlayerIconTest() {
        iconClock.SetSleepHook(
            [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(1)); });
        stage::Surface icon;
        icon.Create(8, 8, stage::PixelFormat::Rgb565());
        icon.Fill(IconWatcher::kIconColour);
        icon.FillRect(stage::Rect{0, 0, 1, 1}, 0xFF00FF);
        EXPECT_TRUE(icon.WriteBmp(dir.Path() / "icon.bmp"));
        listener = &watcher;
    }

    IconWatcher watcher{session->GetScreen()};
};

TEST_F(PlayerIconTest, PageWaitsShowThePageIconBeforeTheWaitIsAnnounced) {
    Open("<ICON SRC=\"icon.bmp\" MODE=\"P\">One.<P>A line<BR></ICON MODE=\"OFF\">Two.<P>");
    EXPECT_TRUE(player.WaitIconAlive());
    ClickAndWait();
    EXPECT_FALSE(player.WaitIconAlive()) << "a line wait has no frames of its own";
    ClickAndWait();
    EXPECT_FALSE(player.WaitIconAlive()) << "icons are off";
    EXPECT_EQ(watcher.iconShown, (std::vector<bool>{true, false, false}));
}

TEST_F(PlayerIconTest, RedisplayingTheStageKeepsTheIconOfTheWait) {
    Open("<ICON SRC=\"icon.bmp\" MODE=\"P\">One.<P>");
    ASSERT_TRUE(player.WaitIconAlive());
    player.Redisplay();  // new settings: the stage is composed afresh under the icon
    EXPECT_TRUE(player.WaitIconAlive());
    stage::Surface shown;
    ASSERT_TRUE(session->GetScreen().CopyOut(shown));
    EXPECT_EQ(shown.Row(watcher.mark.y + 4)[watcher.mark.x + 4],
              shown.NativeColour(IconWatcher::kIconColour));
    EXPECT_EQ(watcher.iconShown.size(), 1u) << "the same wait is not announced again";
}

// The real clock, telling when the book starts a long pause.
class WatchedClock : public host::SteadyClock {
  public:
    bool SleepMs(int ms) override {
        if (ms >= 1000) {
            longPause = 1;
        }
        return SteadyClock::SleepMs(ms);
    }
    std::atomic<int> longPause{0};
};

// Closing the book, or opening another, ends the pause the book is in at once.
class PlayerCloseTest : public PlayerTest {
  protected:
    WatchedClock realClock;
    std::unique_ptr<Session> realSession = MakeSession(realClock);

    /// Opens text on the real clock and waits until it pauses for a second or more.
    void StartPausing(std::string_view text) {
        dir.Write("long.talu", text);
        realSession->GetPlayer().SetListener(&steps);
        ASSERT_TRUE(realSession->OpenBook(dir.Inside("long.talu")));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (realClock.longPause.load() == 0) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the book never paused";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    template <typename Action>
    static std::chrono::milliseconds Timed(Action&& action) {
        const auto start = std::chrono::steady_clock::now();
        action();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    }

    static constexpr std::chrono::milliseconds kPromptly{50};
};

TEST_F(PlayerCloseTest, ClosingEndsEveryKindOfPauseAtOnce) {
    const char* books[] = {
        "<W TIME=\"60000\"><TRAP>",
        "<TIMER><TIMER TIME=\"01:00\"><TRAP>",
        "<WAIT BACK=\"60000\"><BACKGROUND COLOR=\"#204080\" EFFECT=\"EF_FADEIN\"><TRAP>",
        "<WAIT TEXT=\"120000\">typed slowly<P>",
    };
    for (const char* book : books) {
        SCOPED_TRACE(book);
        realClock.longPause = 0;
        StartPausing(book);
        EXPECT_LT(Timed([&] { realSession->CloseBook(); }), kPromptly);
        EXPECT_FALSE(realSession->GetPlayer().WorkerRunning());
        EXPECT_EQ(realSession->GetInterpreter(), nullptr);
    }
    // Pauses last again afterwards.
    dir.Write("short.talu", "<W TIME=\"30\"><TRAP>");
    EXPECT_GE(Timed([&] {
                  ASSERT_TRUE(realSession->OpenBook(dir.Inside("short.talu")));
                  realSession->GetPlayer().WaitForWorker();
              }),
              std::chrono::milliseconds(30));
}

TEST_F(PlayerCloseTest, OpeningAnotherBookEndsThePauseAndRunsIt) {
    StartPausing("<W TIME=\"60000\"><TRAP>");
    dir.Write("next.talu", "next<P>");
    EXPECT_LT(Timed([&] { ASSERT_TRUE(realSession->LoadBook(dir.Inside("next.talu"))); }),
              kPromptly);
    realSession->StartBook();
    realSession->GetPlayer().WaitForWorker();
    EXPECT_EQ(steps.waits, (std::vector<int>{16}));
}

}  // namespace
}  // namespace talu::app
