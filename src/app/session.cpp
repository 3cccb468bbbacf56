#include "app/session.h"

#include <cassert>
#include <optional>
#include <utility>

#include "app/backlog_file.h"
#include "script/keywords.h"
#include "script/sjis_text.h"

namespace talu::app {
namespace {

// The SOUND tag as the effects take it.
SoundRequest SoundRequestOf(const script::TagRecord& record, const std::string& path) {
    SoundRequest request;
    request.closing = record.IsClosing();
    record.GetAttribute(script::kw::kSrc, request.source);
    request.path = path;
    request.loop = 1;
    record.GetAttributeInt(script::kw::kLoop, request.loop);
    auto mode = record.FindAttribute(script::kw::kMode);
    request.pass = mode && script::ToUpperAscii(*mode) == "PASS";
    return request;
}

}  // namespace

std::unique_ptr<Session> Session::Create(const SessionOptions& options, std::string& problem) {
    assert(options.shell != nullptr && options.settings != nullptr && options.clock != nullptr);
    std::unique_ptr<Session> session(new Session(options));
    if (!session->screen_.Create(options.format) || !session->stage_.Create()) {
        problem = "cannot create the stage";
        return nullptr;
    }
    return session;
}

Session::Session(const SessionOptions& options)
    : options_(options),
      boxes_(*this),
      diagnostics_(boxes_, options.settings->langMode),
      stage_(options.format),
      player_(*options.shell, *options.settings, *options.clock, options.iconClock),
      bookmarks_(BookmarkHooks()) {
    stage_.SetOutput(stage::StageOutput{&screen_, stage::EffectOptions{options.clock}});
    screen_.SetChangedCallback([shell = options.shell] { shell->ScreenChanged(); });
    player_.SetReadPages(&readPages_);
    if (options_.plugins == nullptr) {
        ownPlugins_.Scan();
        options_.plugins = &ownPlugins_;
    }
    if (options_.audio != nullptr) {
        const auto showBox = [this](const std::string& text) { ShowBox(text); };
        const auto langMode = [this] { return options_.settings->langMode.load(); };
        music_ = std::make_unique<MusicPlayer>(
            MusicPlayerServices{options_.audio, options_.clock, options_.plugins,
                                options_.mediaListener, showBox, langMode});
        music_->SetEnabled(options_.settings->useCD.current != 0);
        sounds_ = std::make_unique<SoundEffects>(SoundEffectServices{
            options_.audio, options_.plugins, options_.mediaListener, showBox, langMode,
            [this] { return options_.settings->usePCM.current != 0; }});
        player_.SetMusicPlayer(music_.get());
        commands_.ApplyLoudness();
    }
    player_.SetPageListeners([this](const ShownPage& page) { backlog_.PageShown(page); },
                             [this](const std::string& text) { backlog_.LinkChosen(text); });
}

Session::~Session() {
    CloseBook();
}

BookmarkServices Session::BookmarkHooks() {
    BookmarkServices hooks;
    hooks.showBox = [this](const std::string& text) { ShowBox(text); };
    hooks.langMode = [this] { return options_.settings->langMode.load(); };
    hooks.now = options_.now ? options_.now : std::function<LocalTime()>(LocalTimeNow);
    hooks.musicLines = [this](std::vector<std::string>& lines) {
        // The music player's own record: it remembers music even while music is off.
        if (music_ != nullptr) {
            if (std::optional<std::string> tag = music_->BgmTagText()) {
                lines.push_back(*tag);
            }
        }
    };
    hooks.copyStage = [this](stage::Surface& out) { return screen_.CopyOut(out); };
    hooks.spareFolder = [this] { return options_.settings->bookmarkFolder; };
    hooks.backlog = [this] { return backlog_.SlotEntries(); };
    hooks.ask = [this](const std::string& text) {
        player_.StopMode(ModeStop::kBox);
        return options_.shell->ShowMessage(text, true);
    };
    hooks.placeFollowed = [this](int oldIndex, std::optional<int> newIndex) {
        options_.shell->BookmarkPlaceFollowed(oldIndex, newIndex);
    };
    return hooks;
}

interp::InterpreterServices Session::Services(int bookmarkSlot) {
    interp::InterpreterServices services;
    services.diagnostics = &diagnostics_;
    services.debugFeed = options_.debugFeed;
    services.bookmarkSlot = bookmarkSlot;
    services.onStageFailure = options_.onStageFailure;
    services.onSavePoint = [this] {
        backlog_.MarkSavePoint(!interpreter_->Window().PageText().empty());
        bookmarks_.SavePoint(*interpreter_);
    };
    services.onPageStart = [this] { PageStarts(); };
    services.onTopPage = [this] { bookmarks_.TopPage(*interpreter_); };
    services.programFolder = options_.programFolder;
    services.stage = &stage_;
    services.display = &display_;
    services.plugins = options_.plugins;
    services.extensions = &extensions_;
    services.clock = options_.clock;
    services.clicks = &player_.clicks;
    services.readSettings = [this](interp::EngineSettings& e) { player_.FillEngineSettings(e); };
    services.fastForward = [this] { return player_.Hurrying(); };
    services.onTitle = [this](const std::string& title) { options_.shell->SetTitle(title); };
    services.loadCursor = [this](const std::string& path) {
        return options_.shell->SetCursor(path);
    };
    services.onCommand = [this](const std::string& src, const std::string& folder) {
        player_.Command(src, folder);
    };
    services.onTypeText = [this](std::string_view text) {
        player_.CountTyped(text);
        if (options_.onTypeText) {
            options_.onTypeText(text);
        }
    };
    services.onSnap = options_.onSnap;
    if (sounds_ != nullptr) {
        services.playSound = [this](const script::TagRecord& record, const std::string& path) {
            return sounds_->Play(SoundRequestOf(record, path));
        };
    }
    return services;
}

bool Session::LoadBook(std::string_view insidePath) {
    if (interpreter_ != nullptr) {
        CloseBook();
        StopMedia();
    }
    stage_.ClearReading(false);  // the wait icons are the display's and stay
    diagnostics_.SetLangMode(options_.settings->langMode);
    interpreter_ = std::make_unique<interp::Interpreter>(Services(0));
    if (!interpreter_->Open(insidePath)) {
        interpreter_.reset();
        return false;
    }
    bookmarks_.Reset(interpreter_->Book().Path());
    backlog_.Clear();
    bookmarks_.BindMemos(interpreter_->Variables(), bookmarks_.CurrentSlot());
    if (options_.keepReadPages) {
        readPages_.Bind(
            {bookmarks_.ReadPagesPath(), [this] { return bookmarks_.MakeSpareFolder(); }},
            std::string(script::FolderOf(interpreter_->Book().Path())));
    } else {
        readPages_.Unbind();
    }
    SetMediaFolder(interpreter_->Book().Folder());
    return true;
}

void Session::SetMediaFolder(const std::string& folder) {
    if (music_ != nullptr) {
        music_->SetBookFolder(folder);
        sounds_->SetBookFolder(folder);
    }
}

void Session::StopMedia() {
    if (music_ != nullptr) {
        music_->Stop();
        sounds_->StopAll();
    }
}

bool Session::LoadBookmark(int slot) {
    if (interpreter_ == nullptr) {
        return false;
    }
    const int number = slot == BookmarkManager::kCurrentSlot ? bookmarks_.CurrentSlot() : slot;
    std::optional<SlotFile> file = bookmarks_.ReadForLoad(slot, interpreter_->Book());
    if (!file) {
        return false;
    }
    const bool loaded = Reload(number, [&](interp::Interpreter& fresh, const Executed& executed) {
        return bookmarks_.Restore(fresh, *file, slot, executed);
    });
    backlog_.Replace(loaded ? ReadBacklogFile(bookmarks_.SlotLogPath(number))
                            : std::vector<BacklogEntry>{});
    if (loaded) {
        PageStarts();
    }
    return loaded;
}

bool Session::ReturnToPage(std::size_t index) {
    const std::shared_ptr<const PageSavePoint> point = backlog_.SavePointOf(index);
    if (interpreter_ == nullptr || point == nullptr) {
        return false;
    }
    const bool returned =
        Reload(bookmarks_.CurrentSlot(), [&](interp::Interpreter& fresh, const Executed& executed) {
            return bookmarks_.RestorePage(fresh, *point, executed);
        });
    if (!returned) {
        backlog_.Clear();
        return false;
    }
    backlog_.ReturnTo(index);
    backlog_.PageStarted(point);
    return true;
}

bool Session::Reload(int number,
                     const std::function<bool(interp::Interpreter&, const Executed&)>& restore) {
    Shell& shell = *options_.shell;
    shell.ReadingEnds();
    EndRun();
    player_.ResetRunState();
    StopMedia();
    // The restored lines rebuild the stage, its icons included.
    stage_.ClearReading(true);
    // The old interpreter goes first: its window unhooks itself from the stage.
    interpreter_.reset();
    interpreter_ = std::make_unique<interp::Interpreter>(Services(number));
    const bool restored =
        restore(*interpreter_,
                [this](int result, const script::TagRecord& record) { Restored(result, record); });
    shell.ReadingResumes();
    return restored;
}

void Session::Restored(int result, const script::TagRecord& record) {
    if (result == interp::step::kBgm) {
        player_.Bgm(record);
    } else if (result == interp::step::kStageSize) {
        int width = 0;
        int height = 0;
        record.GetAttributeInt(script::kw::kWidth, width);
        record.GetAttributeInt(script::kw::kHeight, height);
        options_.shell->SetStageSize(width, height);
    }
}

void Session::PageStarts() {
    backlog_.PageStarted(
        std::make_shared<const PageSavePoint>(bookmarks_.CapturePage(*interpreter_)));
}

void Session::StartRestored() {
    if (interpreter_ != nullptr) {
        player_.Start(interpreter_.get(), true);
    }
}

void Session::StartBook() {
    if (interpreter_ != nullptr) {
        backlog_.Clear();
        PageStarts();
        player_.BookOpened(interpreter_.get());
    }
}

bool Session::OpenBook(std::string_view insidePath) {
    if (!LoadBook(insidePath)) {
        return false;
    }
    StartBook();
    return true;
}

void Session::CloseBook() {
    EndRun();
    readPages_.Unbind();  // which writes what this reading added
    interpreter_.reset();
}

void Session::ShowBox(const std::string& text) {
    player_.StopMode(ModeStop::kBox);
    options_.shell->ShowMessage(text, false);
}

void Session::EndRun() {
    // A waited-for effect and a synchronous fade end at once too, as the clock's pauses do.
    if (options_.audio != nullptr) {
        options_.audio->Interrupt();
        music_->Interrupt();
    }
    player_.Close();
    if (options_.audio != nullptr) {
        options_.audio->Resume();
        music_->Resume();
    }
}

}  // namespace talu::app
