#include "frontend/cli/headless_session.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <type_traits>
#include <variant>

#include "app/archive_books.h"
#include "app/ini_settings_store.h"
#include "app/media_listener.h"
#include "app/session.h"
#include "app/settings.h"
#include "frontend/cli/book_relative.h"
#include "host/audio/virtual_audio_device.h"
#include "host/paths.h"
#include "script/messages.h"

namespace talu::cli {
namespace {

/// The frontend as a scripted reader: boxes, music, sound, title, cursor and commands become
/// lines; OK/Cancel boxes get the given answer.
class SessionShell : public app::Shell {
  public:
    SessionShell(TraceLine line, bool answerOk, int langMode)
        : line_(std::move(line)), answerOk_(answerOk), langMode_(langMode) {}

    /// Set when the book asks for the load-only bookmark dialog.
    void SetAutoBookmarkFlag(std::atomic<int>* flag) { autoBookmark_ = flag; }
    void SetBookFolder(std::string folder) { bookFolder_ = std::move(folder); }

    bool ShowMessage(const std::string& text, bool withCancel) override {
        line_("box " + text);
        return !withCancel || answerOk_;
    }

    void Post(app::PlayerMessage message) override {
        std::visit(
            [this](const auto& posted) {
                using Posted = std::decay_t<decltype(posted)>;
                if constexpr (std::is_same_v<Posted, app::AutoBookmarkMessage>) {
                    line_("auto-bookmark");
                    autoBookmark_->store(1);
                }  // a completed form is filled in where the run stops at it
            },
            message);
    }

    void ScreenChanged() override {}  // frames are taken at the waits

    void SetStageSize(int, int) override {}

    void RequestClose() override {
        line_("box " + script::PlayerMessage(langMode_, script::msg::kExitQuestion));
    }

    void SetTitle(const std::string& title) override {
        if (!title.empty()) {  // the empty caption of a book being opened is no event
            line_("title " + title);
        }
    }

    bool SetCursor(const std::string& insidePath) override {
        line_("cursor " + BookRelativePath(insidePath, bookFolder_));
        return host::FindHostPath(insidePath, host::HostPathOptions{bookFolder_}).has_value();
    }

    void StartProgram(const std::string& program, const std::string& parameters,
                      const std::string&) override {
        line_("command " + program + (parameters.empty() ? "" : " " + parameters));
    }

    void OpenWebAddress(const std::string& address) override { line_("command " + address); }

    void ModeChanged(const app::ModeChange& change) override {
        if (change.before != app::ReadingMode::kNone) {
            line_(std::string(ModeName(change.before)) + " stop " +
                  std::string(app::ModeStopName(change.reason)));
        }
        if (change.mode != app::ReadingMode::kNone) {
            line_(std::string(ModeName(change.mode)) + " start");
        }
    }
    void BookmarkPlaceFollowed(int oldIndex, std::optional<int> newIndex) override {
        line_(newIndex ? "place moved " + std::to_string(oldIndex) + ' ' + std::to_string(*newIndex)
                       : std::string("place lost"));
    }
    /// Where the pages shown go (the run's hook); set before the book starts.
    void SetPageListener(std::function<void(const app::ShownPage&)> listener) {
        pages_ = std::move(listener);
    }
    void PageShown(const app::ShownPage& page) override {
        if (pages_) {
            pages_(page);
        }
    }

  private:
    static const char* ModeName(app::ReadingMode mode) {
        return mode == app::ReadingMode::kSkip ? "skip" : "auto";
    }

    TraceLine line_;
    bool answerOk_;
    int langMode_;
    std::atomic<int>* autoBookmark_ = nullptr;
    std::string bookFolder_;
    std::function<void(const app::ShownPage&)> pages_;
};

/// Music and effects as trace lines.
class MediaTrace : public app::MediaListener {
  public:
    explicit MediaTrace(TraceLine line) : line_(std::move(line)) {}
    void MusicPlayed(const std::string& source, int loop, const char* backend) override {
        line_("music play " + source + ' ' + std::to_string(loop) + ' ' + backend);
    }
    void MusicStopped() override { line_("music stop"); }
    void MusicFading(int timeMs, bool sync) override {
        line_("music fade " + std::to_string(timeMs) + (sync ? " sync" : " async"));
    }
    void MusicMissing(const std::string& source) override { line_("music missing " + source); }
    void SoundPlayed(const std::string& source, int channel, int loop, bool wait) override {
        line_("sound play " + source + ' ' + std::to_string(channel) + ' ' + std::to_string(loop) +
              (wait ? " wait" : " pass"));
    }
    void SoundEnded(int channel) override { line_("sound end " + std::to_string(channel)); }
    void SoundsFull(const std::string& source) override { line_("sound full " + source); }
    void SoundsStopped() override { line_("sound stop-all"); }

  private:
    TraceLine line_;
};

/// The wait icon's time when the book runs on virtual time: sleeps only yield, so the icon
/// animates at no cost and stops at once when the reader clicks, which it does right away.
class YieldingClock : public host::Clock {
  public:
    std::int64_t NowMs() override { return now_.load(); }
    bool SleepMs(int ms) override {
        now_ += ms > 0 ? ms : 0;
        std::this_thread::yield();
        return !Interrupted();
    }

  private:
    std::atomic<std::int64_t> now_{0};
};

}  // namespace

struct HeadlessSession::Parts : app::PlayerListener {
    TraceLine line;
    app::Settings settings;
    host::VirtualClock virtualClock;
    host::SteadyClock realClock;
    // The wait icon's sleeps must never move the book's virtual time.
    YieldingClock iconClock;
    host::Clock* clock = nullptr;
    std::int64_t openedMs = 0;
    std::unique_ptr<SessionShell> shell;
    std::unique_ptr<MediaTrace> mediaTrace;
    std::unique_ptr<host::VirtualAudioDevice> audio;
    // Declared after what it uses, so it goes first.
    std::unique_ptr<app::Session> session;
    std::optional<app::LocalTime> date;
    std::atomic<int> autoBookmark{0};
    std::atomic<long long> waits{0};

    SessionHooks hooks;
    long long maxSteps = 0;
    std::atomic<long long> steps{0};
    std::atomic<int> lastResult{0};
    std::mutex stopMutex;
    std::string stopReason;

    void StepDone(int result, const script::TagRecord& record) override {
        if (hooks.step) {
            hooks.step(result, record);
        }
        lastResult = result;
        if (++steps >= maxSteps) {
            Stop("max-steps");
        }
    }

    void WaitStarted(int kind, int x, int y) override {
        ++waits;
        if (hooks.wait) {
            hooks.wait(kind, x, y);
        }
    }

    void AutoClicked() override { line("auto click " + std::to_string(clock->NowMs() - openedMs)); }

    void Stop(std::string reason) {
        {
            std::lock_guard lock(stopMutex);
            if (stopReason.empty()) {
                stopReason = std::move(reason);
            }
        }
        session->GetPlayer().RequestStop();
    }

    std::string StopReason() {
        std::lock_guard lock(stopMutex);
        return stopReason;
    }
};

HeadlessSession::HeadlessSession(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

HeadlessSession::~HeadlessSession() = default;

std::unique_ptr<HeadlessSession> HeadlessSession::Open(const SessionOptions& options,
                                                       TraceLine line, std::string& problem) {
    auto parts = std::make_unique<Parts>();
    Parts& p = *parts;
    p.line = std::move(line);
    const std::string programFolder = host::ProgramFolder();
    app::IniSettingsStore store;
    if (!options.settings.empty() && !store.Load(options.settings)) {
        problem = "cannot read '" + options.settings + "'";
        return nullptr;
    }
    // Slots of books whose folder takes no files go to the reader's data folder, as the window's
    // do: the program's folder is often not writable, and shared by every reader.
    p.settings.Read(store, host::ReaderDataFolder());
    if (options.langMode) {
        p.settings.langMode = *options.langMode;
    }
    if (options.skipUnread) {
        p.settings.skipUnread = *options.skipUnread ? 1 : 0;
    }
    if (options.autoPace) {
        p.settings.autoPace = *options.autoPace;
    }
    if (options.wrapAtSpaces) {
        p.settings.wrapAtSpaces = *options.wrapAtSpaces ? 1 : 0;
    }
    const int langMode = p.settings.langMode;
    p.clock = options.realTime ? static_cast<host::Clock*>(&p.realClock) : &p.virtualClock;
    p.openedMs = p.clock->NowMs();

    p.shell = std::make_unique<SessionShell>(p.line, options.answerOk, langMode);
    p.shell->SetAutoBookmarkFlag(&p.autoBookmark);
    p.date = options.date;
    p.mediaTrace = std::make_unique<MediaTrace>(p.line);
    p.audio = std::make_unique<host::VirtualAudioDevice>(
        *p.clock, host::VirtualAudioDevice::Options{options.recordAudio, p.settings.soundFont});
    app::SessionOptions wiring;
    wiring.shell = p.shell.get();
    wiring.settings = &p.settings;
    wiring.clock = p.clock;
    wiring.iconClock = options.realTime ? static_cast<host::Clock*>(&p.realClock) : &p.iconClock;
    wiring.programFolder = programFolder;
    wiring.audio = p.audio.get();
    wiring.mediaListener = p.mediaTrace.get();
    wiring.keepReadPages = options.keepReadPages;
    if (p.date) {
        wiring.now = [&p] { return *p.date; };
    }
    wiring.onTypeText = [&p](std::string_view text) { p.line("text " + std::string(text)); };
    wiring.onSnap = [&p](const std::string& path) {
        p.line("snap " + BookRelativePath(path, p.session->GetInterpreter()->Book().Folder()));
    };
    p.session = app::Session::Create(wiring, problem);
    if (p.session == nullptr) {
        return nullptr;
    }
    p.session->GetStage().SetPresentListener([&p](const stage::PresentCall& call) {
        if (!call.rect) {
            p.line("present " + std::to_string(call.effect) + ' ' + std::to_string(call.time));
        }
    });
    const std::string inside = options.member.empty()
                                   ? host::InsidePathFromHost(options.book.lexically_normal())
                                   : app::ArchiveMemberInsidePath(options.book, options.member);
    if (!p.session->LoadBook(inside)) {
        problem = "cannot read book '" + options.book.string() + "'";
        return nullptr;
    }
    p.shell->SetBookFolder(p.session->GetInterpreter()->Book().Folder());
    return std::unique_ptr<HeadlessSession>(new HeadlessSession(std::move(parts)));
}

std::string HeadlessSession::Play(const ReaderScript& reader, const SessionHooks& hooks,
                                  std::string& problem) {
    Parts& p = *parts_;
    app::Player& player = p.session->GetPlayer();
    p.hooks = hooks;
    p.shell->SetPageListener(hooks.pageShown);
    p.maxSteps = reader.maxSteps;
    player.SetListener(&p);
    app::ReaderCommands& commands = p.session->Commands();
    commands.SetListener([&p](std::string_view command, int slot, bool ok) {
        if (p.session->GetInterpreter() != nullptr) {
            p.shell->SetBookFolder(p.session->GetInterpreter()->Book().Folder());
        }
        p.line(std::string(command) + ' ' + std::to_string(slot) + (ok ? " ok" : " fail"));
    });
    if (!reader.loadAtStart || !commands.LoadSlot(*reader.loadAtStart)) {
        p.session->StartBook();  // a failed load starts the book from its top instead
    }
    std::string reason;
    long long stepsBeforeClick = -1;
    long long actedAtWait = 0;
    while (reason.empty()) {
        player.WaitForWorker();
        const int last = p.lastResult.load();
        reason = p.StopReason();
        if (!reason.empty()) {
            break;
        }
        if (last == interp::step::kBookEnd || last == interp::step::kEndTag) {
            // The end box and the close question were answered.
            reason = last == interp::step::kEndTag ? "end-tag" : "book-end";
        } else if (p.steps.load() == stepsBeforeClick) {
            reason = "max-steps";  // a click that starts nothing: the run cannot go on
        } else if (p.autoBookmark.exchange(0) != 0 && reader.autoLoad &&
                   commands.AutoLoad(*reader.autoLoad)) {
            stepsBeforeClick = -1;  // the loaded book runs
        } else if (player.ChoicePending()) {
            stepsBeforeClick = p.steps.load();
            interp::Interpreter& interpreter = *p.session->GetInterpreter();
            TraceLinks(interpreter.Links(), p.line);
            const auto k = reader.choose(ChoosableLinks(interpreter.Links()));
            if (!k) {
                problem = "no link can be chosen";
            }
            if (!k || !TakeLinkAsReader(player, interpreter, *k, p.line, problem)) {
                reason = "no-choice";
            }
        } else if (player.FormPending()) {
            stepsBeforeClick = p.steps.load();
            if (!SubmitFormAsReader(player, *p.session->GetInterpreter(), reader.inputs, p.line,
                                    problem)) {
                reason = "no-submit";
            }
        } else {
            const long long wait = p.waits.load();
            const bool continued = wait != actedAtWait && Act(reader.atWait, wait);
            actedAtWait = wait;
            if (continued) {
                stepsBeforeClick = -1;
            } else {
                // TRAP only parks the worker; the reader's next click goes on as after any stop.
                if (last == interp::step::kTrap) {
                    p.line("trap");
                }
                // A click that only shows the hidden window again is followed by another.
                stepsBeforeClick = player.TextWindowHidden() ? -1 : p.steps.load();
                if (!RestartMode(reader.mode)) {
                    p.line("click");
                    commands.Click();
                }
            }
        }
    }
    player.WaitForWorker();
    player.SetListener(nullptr);
    commands.SetListener(nullptr);
    return reason;
}

bool HeadlessSession::RestartMode(app::ReadingMode mode) {
    app::ReaderCommands& commands = parts_->session->Commands();
    if (mode == app::ReadingMode::kNone || commands.Mode() != app::ReadingMode::kNone) {
        return false;
    }
    return mode == app::ReadingMode::kSkip ? commands.ToggleSkip() : commands.ToggleAuto();
}

bool HeadlessSession::Act(const ReaderActions& actions, long long wait) {
    bool continued = false;
    const auto [first, last] = actions.equal_range(static_cast<int>(wait));
    for (auto it = first; it != last && !continued; ++it) {
        continued = ActOnce(it->second);
    }
    return continued;
}

bool HeadlessSession::ActOnce(const ReaderAction& action) {
    Parts& p = *parts_;
    app::ReaderCommands& commands = p.session->Commands();
    const bool current = action.slot == app::BookmarkManager::kCurrentSlot;
    switch (action.kind) {
        case ReaderAction::Kind::kSave:
            current ? commands.Save() : commands.SaveTo(action.slot, std::nullopt);
            return false;
        case ReaderAction::Kind::kLoad:
            return current ? commands.Load() : commands.LoadFrom(action.slot);
        case ReaderAction::Kind::kInitialize:
            commands.Initialize(action.slot, true);
            return false;
        case ReaderAction::Kind::kComment:
            commands.SetComment(action.text);
            return false;
        case ReaderAction::Kind::kNextChoice:
            p.line("next-choice");
            return commands.GotoNextChoice();
        case ReaderAction::Kind::kHideWindow:
            p.line("hide-window");
            if (commands.CloseWindow() && p.hooks.picture) {
                p.hooks.picture();
            }
            return false;
        case ReaderAction::Kind::kBack:
            return GoBack(action.pages);
    }
    return false;
}

bool HeadlessSession::GoBack(int pages) {
    Parts& p = *parts_;
    const std::size_t size = p.session->GetBacklog().Size();
    const auto back = static_cast<std::size_t>(pages);
    if (back >= size) {
        p.line("back " + std::to_string(pages) + " fail");
        return false;
    }
    return p.session->Commands().ReturnToPage(size - 1 - back);  // the listener traces it
}

std::vector<app::BacklogEntry> HeadlessSession::BacklogEntries() const {
    return parts_->session->GetBacklog().Entries();
}

app::BookmarkManager& HeadlessSession::Bookmarks() {
    return parts_->session->Bookmarks();
}

void HeadlessSession::Stop(std::string reason) {
    parts_->Stop(std::move(reason));
}

app::Player& HeadlessSession::GetPlayer() {
    return parts_->session->GetPlayer();
}

interp::Interpreter& HeadlessSession::GetInterpreter() {
    return *parts_->session->GetInterpreter();
}

const stage::Screen& HeadlessSession::GetScreen() const {
    return parts_->session->GetScreen();
}

std::int64_t HeadlessSession::ElapsedMs() const {
    return parts_->clock->NowMs() - parts_->openedMs;
}

int HeadlessSession::LangMode() const {
    return parts_->settings.langMode;
}

bool HeadlessSession::WriteAudio(const std::string& file, std::string& problem) {
    return parts_->audio->RenderToWave(file, problem);
}

}  // namespace talu::cli
