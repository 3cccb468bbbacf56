#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "app/command_launcher.h"
#include "app/music_player.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/speed_stack.h"
#include "app/wait_icon_animator.h"
#include "host/clock.h"
#include "interp/interpreter.h"
#include "script/tag_record.h"

namespace talu::app {

/// Told of what the run loop does, for traces and tests; called on the worker thread.
class PlayerListener {
  public:
    virtual ~PlayerListener() = default;
    /// After every step: its result and record (the book's index is already advanced).
    virtual void StepDone(int result, const script::TagRecord& record) = 0;
    /// The worker stopped at a wait (kind step::kPageWait, kLineWait or kClickWait) at the wait
    /// mark; called once the wait icon's first frame is on the screen, before the icon animates.
    virtual void WaitStarted(int kind, int x, int y) = 0;
};

/// The toolkit-free player: runs the open book on a worker thread that ends whenever the book
/// needs the reader, and turns clicks and commands into fresh workers. Methods other than those
/// marked are for the interface thread.
class Player {
  public:
    /// iconClock paces the wait icon (clock when null); it outlives the player.
    Player(Shell& shell, Settings& settings, host::Clock& clock, host::Clock* iconClock = nullptr);
    /// Ends the book as Close does.
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    /// Resets the run state for a book just opened in interpreter (which the caller owns and
    /// keeps alive until the next book or the player's end) and starts the worker.
    void BookOpened(interp::Interpreter* interpreter);
    /// The reset of opening a book without the new book: Close, then the flags cleared and the
    /// title reset.
    void ResetRunState();
    /// Starts the worker on interpreter after ResetRunState; fromBookmark sets
    /// loadedFromBookmark, which lets the book pass its automatic-bookmark points.
    void Start(interp::Interpreter* interpreter, bool fromBookmark);
    /// Starts a worker unless one is running; false when one was.
    bool StartWorker();
    /// Waits until no worker runs.
    void WaitForWorker();
    /// Closing the book (or opening another, or loading a bookmark): ends the pause in progress
    /// at once, lets the worker end after its current step and waits for it, stops the wait
    /// icon and forgets the interpreter. A step cut short this way shows its end without
    /// pausing; the worker then asks the reader nothing more, but a box it already shows must
    /// be answered (or dismissed by the shell) before Close can return.
    void Close();
    bool WorkerRunning() const { return workerRunning_.load() != 0; }

    /// The reader's click (left button, Enter, Space).
    void Click();
    /// Goto Next Choice: runs to the next choice without waiting.
    void GotoNextChoice();
    /// Close Window: hides the message window while the book waits and shows the stage without
    /// it; the next click only shows it again. ReaderCommands decides when it is allowed.
    void HideTextWindow();
    /// A token that keeps the wait icon still while the reader answers a box, a menu or a
    /// dialog; pauses nest, and the icon moves again once every token has gone.
    class PauseToken {
      public:
        explicit PauseToken(std::atomic<int>& count) : count_(&count) { count_->fetch_add(1); }
        ~PauseToken() {
            if (count_ != nullptr) {
                count_->fetch_sub(1);
            }
        }
        PauseToken(PauseToken&& other) noexcept : count_(std::exchange(other.count_, nullptr)) {}
        PauseToken(const PauseToken&) = delete;
        PauseToken& operator=(const PauseToken&) = delete;
        PauseToken& operator=(PauseToken&&) = delete;

      private:
        std::atomic<int>* count_;
    };
    /// Any thread: pauses the wait icon until the token goes.
    PauseToken Pause() { return PauseToken(uiPaused); }
    bool Paused() const { return uiPaused.load() != 0; }
    bool TextWindowHidden() const { return textWindowHidden.load() != 0; }
    /// Stop wait icon: the icon is erased and its thread has ended when this returns. Call it
    /// before anything changes the screen or the icon lists under the icon.
    void StopWaitIcon() { waitIcon_.Stop(); }
    /// 1 while a wait icon is shown (waitIconAlive).
    bool WaitIconAlive() const { return waitIcon_.waitIconAlive.load() != 0; }
    /// The mouse moved to (x, y) on the stage: the links on screen follow it.
    void MouseMove(int x, int y);
    /// The settings changed what the stage shows (brightness): while the book waits, the stage
    /// is shown again with them (the wait icon goes first).
    void Redisplay();
    /// The form is complete (FormCompleteMessage): its controls take their state.
    void ShowForm();
    /// A command id from a form control while the form is up: the interpreter's result (0 when
    /// it is not the form's). A SUBMIT submits and closes the form and goes on.
    int FormCommand(int id);
    /// A BGM tag (the run loop's, or a bookmark's being restored): the music player starts or
    /// stops the music; without one there is nothing to hear. Worker or, while none runs,
    /// interface thread.
    void Bgm(const script::TagRecord& record);
    /// COMMAND (worker thread): opens the address or, once the reader agrees, starts the program.
    void Command(const std::string& src, const std::string& folder);

    void EnterFastForward();
    void LeaveFastForward();

    /// Asks the worker to stop after the current step (the headless runner's step limit).
    void RequestStop() { stopRequested_.store(1); }
    /// The music player BGM tags go to, on the worker (so a fade keeps the book waiting, not
    /// the window); null plays no music. It outlives the player.
    void SetMusicPlayer(MusicPlayer* music) { music_ = music; }
    void SetListener(PlayerListener* listener) { listener_ = listener; }
    /// Told of every page the book stops at (fast-forward passes included; worker thread) and
    /// of the text of each link the reader takes (UTF-8; interface thread). Set before the
    /// first book runs; either may be empty.
    void SetPageListeners(std::function<void(const ShownPage&)> shown,
                          std::function<void(const std::string&)> chosen) {
        pageShown_ = std::move(shown);
        linkChosen_ = std::move(chosen);
    }
    void SetLoadedFromBookmark(bool loaded) { loadedFromBookmark_.store(loaded ? 1 : 0); }
    bool LoadedFromBookmark() const { return loadedFromBookmark_.load() != 0; }

    bool FastForward() const { return fastForward_.load() != 0; }
    bool ChoicePending() const { return choicePending_.load() != 0; }
    bool FormPending() const { return formPending_.load() != 0; }
    /// The text of the end-of-book box (the language's default until END ALT sets it).
    std::string EndText() const;
    /// Milliseconds since the process's clock origin at which TIMER measures.
    std::int64_t TimerOrigin() const { return timerOrigin_.load(); }

    /// The engine settings a step reads, from the current values; given to the interpreter.
    void FillEngineSettings(interp::EngineSettings& engine) const;

    /// The click flags the interpreter reads (give them to its services).
    interp::ClickFlags clicks{};

  private:
    void Worker();
    void RunLoop();
    void Timer(const script::TagRecord& record);
    bool OfferLinks(const script::TagRecord& record);
    void PresentLink(int index);
    void ShowEndText();
    /// The page as typed so far and the links that can be chosen now, in UTF-8.
    ShownPage CurrentPage() const;
    /// The book stops at the current page: the page listener hears of it and, when the reader
    /// is waited for (not a fast-forward pass), the shell too.
    void ShowPage(bool waits);
    void StartWaitIcon(int kind, const script::TagRecord& record);
    /// Shows the icon of the last wait again once what stopped it has gone.
    void RestartWaitIcon();

    Shell& shell_;
    Settings& settings_;
    host::Clock& clock_;
    host::Clock& iconClock_;
    interp::Interpreter* interpreter_ = nullptr;
    PlayerListener* listener_ = nullptr;
    std::function<void(const ShownPage&)> pageShown_;
    std::function<void(const std::string&)> linkChosen_;
    MusicPlayer* music_ = nullptr;
    std::thread worker_;
    // How many pauses are held now (the wait icon keeps still while any is) and whether the
    // reader hid the message window; read by the icon's thread.
    std::atomic<int> uiPaused{0};
    std::atomic<int> textWindowHidden{0};
    SpeedStack speeds_;
    WaitIconAnimator waitIcon_;
    // The icon list of the last click wait (the stage's page or line icons), set on the worker.
    const stage::WaitIconList* waitingIcons_ = nullptr;
    CommandLauncher commands_;

    std::atomic<int> workerRunning_{0};
    std::atomic<int> fastForward_{0};
    std::atomic<int> choicePending_{0};
    std::atomic<int> formPending_{0};
    std::atomic<int> loadedFromBookmark_{0};
    std::atomic<int> stopRequested_{0};
    std::atomic<int> closing_{0};
    std::atomic<std::int64_t> timerOrigin_{0};

    // The pause a form holds from its completion until its SUBMIT.
    std::optional<PauseToken> formPause_;
    mutable std::mutex endTextMutex_;  // set by the worker, read by the interface thread
    std::string endText_;
};

}  // namespace talu::app
