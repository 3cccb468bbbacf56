#include "frontend/cli/headless_session.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "app/ini_settings_store.h"
#include "app/music_player.h"
#include "app/settings.h"
#include "app/sound_effects.h"
#include "frontend/cli/book_relative.h"
#include "host/audio/virtual_audio_device.h"
#include "host/audio/wave_writer.h"
#include "host/paths.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/sjis_text.h"
#include "stage/extension_map.h"
#include "stage/plugin_list.h"
#include "stage/stage.h"

namespace talu::cli {
namespace {

/// The frontend as a scripted reader: boxes, music, sound, title, cursor and commands become
/// lines; OK/Cancel boxes get the given answer.
class SessionShell : public app::Shell, public script::MessageBoxHost {
  public:
    SessionShell(TraceLine line, bool answerOk, int langMode)
        : line_(std::move(line)), answerOk_(answerOk), langMode_(langMode) {}

    void SetPlayer(app::Player* player) { player_ = player; }
    /// Set when the book asks for the load-only bookmark dialog.
    void SetAutoBookmarkFlag(std::atomic<int>* flag) { autoBookmark_ = flag; }
    void SetBookFolder(std::string folder) { bookFolder_ = std::move(folder); }

    void ShowMessageBox(std::string_view text) override { line_("box " + std::string(text)); }

    bool ShowMessage(const std::string& text, bool withCancel) override {
        line_("box " + text);
        return !withCancel || answerOk_;
    }

    void Post(int message, std::intptr_t wParam, std::intptr_t lParam) override {
        if (message == app::message::kBgm) {
            line_("bgm " + player_->PendingBgmSource() + ' ' + std::to_string(wParam) + ' ' +
                  std::to_string(lParam & 0xFFFF) + ' ' + ((lParam >> 16) ? "0" : "1"));
        } else if (message == app::message::kAutoBookmark) {
            line_("auto-bookmark");
            autoBookmark_->store(1);
        } else if (message == app::message::kSound) {
            line_("sound " + player_->PendingSoundName() + ' ' +
                  (player_->SoundWait() ? "0" : "1"));
        }
    }

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

  private:
    TraceLine line_;
    bool answerOk_;
    int langMode_;
    app::Player* player_ = nullptr;
    std::atomic<int>* autoBookmark_ = nullptr;
    std::string bookFolder_;
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

/// The SOUND tag as the effects take it.
app::SoundRequest SoundRequestOf(const script::TagRecord& record, const std::string& path) {
    app::SoundRequest request;
    request.closing = record.IsClosing();
    record.GetAttribute(script::kw::kSrc, request.source);
    request.path = path;
    request.loop = 1;
    record.GetAttributeInt(script::kw::kLoop, request.loop);
    auto mode = record.FindAttribute(script::kw::kMode);
    request.pass = mode && script::ToUpperAscii(*mode) == "PASS";
    return request;
}

/// The wait icon's time when the book runs on virtual time: sleeps only yield, so the icon
/// animates at no cost and stops at once when the reader clicks, which it does right away.
class YieldingClock : public host::Clock {
  public:
    std::int64_t NowMs() override { return now_.load(); }
    void SleepMs(int ms) override {
        now_ += ms > 0 ? ms : 0;
        std::this_thread::yield();
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
    std::unique_ptr<script::Diagnostics> diagnostics;
    stage::Screen screen;
    stage::Stage stage;
    interp::MessageDisplay display;
    stage::PluginList plugins;
    stage::ExtensionMap extensions;
    std::unique_ptr<MediaTrace> mediaTrace;
    std::unique_ptr<host::VirtualAudioDevice> audio;
    std::unique_ptr<app::MusicPlayer> music;
    std::unique_ptr<app::SoundEffects> sounds;
    // Declared before the player, so the player (which waits for its worker) goes first.
    std::unique_ptr<app::BookmarkManager> bookmarks;
    std::unique_ptr<interp::Interpreter> interpreter;
    std::unique_ptr<app::Player> player;
    /// What every interpreter of the session is made with (a bookmark load makes a new one).
    interp::InterpreterServices services;
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

    void Stop(std::string reason) {
        {
            std::lock_guard lock(stopMutex);
            if (stopReason.empty()) {
                stopReason = std::move(reason);
            }
        }
        player->RequestStop();
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
    p.settings.Read(store, programFolder);
    if (options.langMode) {
        p.settings.langMode = *options.langMode;
    }
    const int langMode = p.settings.langMode;
    p.clock = options.realTime ? static_cast<host::Clock*>(&p.realClock) : &p.virtualClock;
    p.openedMs = p.clock->NowMs();

    p.shell = std::make_unique<SessionShell>(p.line, options.answerOk, langMode);
    p.diagnostics = std::make_unique<script::Diagnostics>(*p.shell, langMode);
    if (!p.screen.Create(stage::PixelFormat::Rgb565()) || !p.stage.Create()) {
        problem = "cannot create the stage";
        return nullptr;
    }
    p.stage.SetOutput(stage::StageOutput{&p.screen, stage::EffectOptions{p.clock}});
    p.stage.SetPresentListener([&p](const stage::PresentCall& call) {
        if (!call.rect) {
            p.line("present " + std::to_string(call.effect) + ' ' + std::to_string(call.time));
        }
    });
    p.plugins.Scan();

    p.player = std::make_unique<app::Player>(
        *p.shell, p.settings, *p.clock,
        options.realTime ? static_cast<host::Clock*>(&p.realClock) : &p.iconClock);
    p.shell->SetPlayer(p.player.get());
    app::Player& player = *p.player;

    p.mediaTrace = std::make_unique<MediaTrace>(p.line);
    p.audio = std::make_unique<host::VirtualAudioDevice>(
        *p.clock, host::VirtualAudioDevice::Options{options.recordAudio, p.settings.soundFont});
    const auto showBox = [&p](const std::string& text) { p.shell->ShowMessageBox(text); };
    const auto currentLang = [&p] { return p.settings.langMode.load(); };
    p.music = std::make_unique<app::MusicPlayer>(app::MusicPlayerServices{
        p.audio.get(), p.clock, &p.plugins, p.mediaTrace.get(), showBox, currentLang});
    p.music->SetEnabled(p.settings.useCD.current != 0);
    p.sounds = std::make_unique<app::SoundEffects>(
        app::SoundEffectServices{p.audio.get(), &p.plugins, p.mediaTrace.get(), showBox,
                                 currentLang, [&p] { return p.settings.usePCM.current != 0; }});
    player.SetMusicPlayer(p.music.get());
    interp::InterpreterServices services;
    services.diagnostics = p.diagnostics.get();
    services.programFolder = programFolder;
    services.stage = &p.stage;
    services.display = &p.display;
    services.plugins = &p.plugins;
    services.extensions = &p.extensions;
    services.clock = p.clock;
    services.clicks = &player.clicks;
    services.readSettings = [&player](interp::EngineSettings& e) { player.FillEngineSettings(e); };
    services.fastForward = [&player] { return player.FastForward(); };
    services.onTitle = [&p](const std::string& title) { p.shell->SetTitle(title); };
    services.loadCursor = [&p](const std::string& path) { return p.shell->SetCursor(path); };
    services.onCommand = [&player](const std::string& src, const std::string& folder) {
        player.Command(src, folder);
    };
    services.onTypeText = [&p](std::string_view text) { p.line("text " + std::string(text)); };
    services.playSound = [&p](const script::TagRecord& record, const std::string& path) {
        return p.sounds->Play(SoundRequestOf(record, path));
    };
    services.onSnap = [&p](const std::string& path) {
        p.line("snap " + BookRelativePath(path, p.interpreter->Book().Folder()));
    };
    services.onSavePoint = [&p] { p.bookmarks->SavePoint(*p.interpreter); };
    services.onTopPage = [&p] { p.bookmarks->TopPage(*p.interpreter); };
    p.services = services;
    p.interpreter = std::make_unique<interp::Interpreter>(std::move(services));
    if (!p.interpreter->Open(host::InsidePathFromHost(options.book.lexically_normal()))) {
        problem = "cannot read book '" + options.book.string() + "'";
        return nullptr;
    }
    p.shell->SetBookFolder(p.interpreter->Book().Folder());
    p.shell->SetAutoBookmarkFlag(&p.autoBookmark);
    p.date = options.date;
    app::BookmarkServices bookmarkServices;
    bookmarkServices.showBox = [&p](const std::string& text) { p.line("box " + text); };
    bookmarkServices.langMode = [langMode] { return langMode; };
    bookmarkServices.now = [&p] { return p.date ? *p.date : app::LocalTimeNow(); };
    bookmarkServices.musicLines = [&p](std::vector<std::string>& lines) {
        // The music player's own record: it remembers music even while music is off.
        if (std::optional<std::string> tag = p.music->BgmTagText()) {
            lines.push_back(*tag);
        }
    };
    p.bookmarks = std::make_unique<app::BookmarkManager>(std::move(bookmarkServices));
    p.bookmarks->Reset(p.interpreter->Book().Path());
    p.music->SetBookFolder(p.interpreter->Book().Folder());
    p.sounds->SetBookFolder(p.interpreter->Book().Folder());
    return std::unique_ptr<HeadlessSession>(new HeadlessSession(std::move(parts)));
}

std::string HeadlessSession::Play(const ReaderScript& reader, const SessionHooks& hooks,
                                  std::string& problem) {
    Parts& p = *parts_;
    app::Player& player = *p.player;
    p.hooks = hooks;
    p.maxSteps = reader.maxSteps;
    player.SetListener(&p);
    if (reader.loadAtStart) {
        player.ResetRunState();
        if (!LoadBookmark(*reader.loadAtStart)) {
            player.Start(p.interpreter.get(), false);  // the book starts from its top instead
        }
    } else {
        player.BookOpened(p.interpreter.get());
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
                   AutoLoad(*reader.autoLoad)) {
            stepsBeforeClick = -1;  // the loaded book runs
        } else if (player.ChoicePending()) {
            stepsBeforeClick = p.steps.load();
            interp::Interpreter& interpreter = *p.interpreter;
            TraceLinks(interpreter.Links(), p.line);
            const auto k = reader.choose(ChoosableLinks(interpreter.Links()));
            if (!k) {
                problem = "no link can be chosen";
            }
            if (!k || !TakeLinkAsReader(player, interpreter, *k, p.line, problem)) {
                reason = "no-choice";
            }
        } else if (player.SoundWait()) {
            // A sound left to the run loop plays nowhere: the book goes on as if it had ended.
            stepsBeforeClick = p.steps.load();
            player.SoundDone();
        } else if (player.FormPending()) {
            stepsBeforeClick = p.steps.load();
            if (!SubmitFormAsReader(player, *p.interpreter, reader.inputs, p.line, problem)) {
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
                stepsBeforeClick = player.textWindowHidden.load() != 0 ? -1 : p.steps.load();
                p.line("click");
                player.Click();
            }
        }
    }
    player.WaitForWorker();
    player.SetListener(nullptr);
    return reason;
}

bool HeadlessSession::Act(const ReaderActions& actions, long long wait) {
    bool continued = false;
    const auto [first, last] = actions.equal_range(static_cast<int>(wait));
    for (auto it = first; it != last && !continued; ++it) {
        const ReaderAction& action = it->second;
        switch (action.kind) {
            case ReaderAction::Kind::kSave:
                SaveBookmark(action.slot);
                break;
            case ReaderAction::Kind::kLoad:
                continued = LoadBookmark(action.slot);
                break;
            case ReaderAction::Kind::kInitialize:
                InitializeBookmark(action.slot);
                break;
            case ReaderAction::Kind::kComment:
                parts_->interpreter->SetBookmarkComment(action.text);
                break;
            case ReaderAction::Kind::kNextChoice:
                parts_->line("next-choice");
                parts_->player->GotoNextChoice();
                continued = true;
                break;
            case ReaderAction::Kind::kHideWindow:
                parts_->line("hide-window");
                parts_->player->HideTextWindow();
                break;
        }
    }
    return continued;
}

bool HeadlessSession::AutoLoad(int slot) {
    // The load-only dialog: a slot without data is first made to start the book from its top.
    const auto list = parts_->bookmarks->SlotList();
    if (slot >= 1 && !list[slot - 1].hasData && !InitializeBookmark(slot)) {
        return false;
    }
    return LoadBookmark(slot);
}

namespace {

std::string SlotResult(const char* command, int slot, bool ok) {
    return std::string(command) + ' ' + std::to_string(slot) + (ok ? " ok" : " fail");
}

}  // namespace

bool HeadlessSession::SaveBookmark(int slot) {
    Parts& p = *parts_;
    const int number =
        slot == app::BookmarkManager::kCurrentSlot ? p.bookmarks->CurrentSlot() : slot;
    const bool ok = p.bookmarks->Save(*p.interpreter, slot);
    p.line(SlotResult("save", number, ok));
    return ok;
}

bool HeadlessSession::InitializeBookmark(int slot) {
    Parts& p = *parts_;
    const int number =
        slot == app::BookmarkManager::kCurrentSlot ? p.bookmarks->CurrentSlot() : slot;
    const bool ok = p.bookmarks->Initialize(slot);
    p.line(SlotResult("initialize", number, ok));
    return ok;
}

bool HeadlessSession::LoadBookmark(int slot) {
    Parts& p = *parts_;
    const int number =
        slot == app::BookmarkManager::kCurrentSlot ? p.bookmarks->CurrentSlot() : slot;
    std::optional<app::SlotFile> file = p.bookmarks->ReadForLoad(slot);
    bool ok = false;
    if (file) {
        // The reset of opening a book, then a fresh interpreter in the old one's place.
        p.player->ResetRunState();
        p.music->Stop();
        p.sounds->StopAll();
        interp::InterpreterServices services = p.services;
        services.bookmarkSlot = number;
        // The old interpreter goes first: its window unhooks itself from the stage.
        p.interpreter.reset();
        p.interpreter = std::make_unique<interp::Interpreter>(std::move(services));
        ok = p.bookmarks->Restore(*p.interpreter, *file, slot,
                                  [&p](int result, const script::TagRecord& record) {
                                      if (result == interp::step::kBgm) {
                                          p.player->Bgm(record);
                                      } else if (result == interp::step::kStageSize) {
                                          int width = 0;
                                          int height = 0;
                                          record.GetAttributeInt(script::kw::kWidth, width);
                                          record.GetAttributeInt(script::kw::kHeight, height);
                                          p.shell->SetStageSize(width, height);
                                      }
                                  });
        p.shell->SetBookFolder(p.interpreter->Book().Folder());
    }
    p.line(SlotResult("load", number, ok));
    if (ok) {
        p.player->Start(p.interpreter.get(), true);
    }
    return ok;
}

app::BookmarkManager& HeadlessSession::Bookmarks() {
    return *parts_->bookmarks;
}

void HeadlessSession::Stop(std::string reason) {
    parts_->Stop(std::move(reason));
}

app::Player& HeadlessSession::GetPlayer() {
    return *parts_->player;
}

interp::Interpreter& HeadlessSession::GetInterpreter() {
    return *parts_->interpreter;
}

const stage::Screen& HeadlessSession::GetScreen() const {
    return parts_->screen;
}

std::int64_t HeadlessSession::ElapsedMs() const {
    return parts_->clock->NowMs() - parts_->openedMs;
}

int HeadlessSession::LangMode() const {
    return parts_->settings.langMode;
}

bool HeadlessSession::WriteAudio(const std::string& file) {
    return host::WriteStereoWave(file, parts_->audio->Render());
}

}  // namespace talu::cli
