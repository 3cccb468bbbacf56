#include "frontend/qt/book_session.h"

#include "host/paths.h"

namespace talu::qt {

std::unique_ptr<BookSession> BookSession::Open(const Services& services,
                                               const std::filesystem::path& book) {
    std::unique_ptr<BookSession> session(new BookSession);
    BookSession& s = *session;
    app::Settings& settings = *services.settings;
    s.diagnostics_ = std::make_unique<script::Diagnostics>(*services.boxes, settings.langMode);
    if (!s.screen_.Create(stage::PixelFormat::Rgb565()) || !s.stage_.Create()) {
        return nullptr;
    }
    s.stage_.SetOutput(stage::StageOutput{&s.screen_, stage::EffectOptions{&s.clock_}});
    s.plugins_.Scan();
    s.player_ = std::make_unique<app::Player>(*services.shell, settings, s.clock_);
    app::Player& player = *s.player_;
    interp::InterpreterServices wiring;
    wiring.diagnostics = s.diagnostics_.get();
    wiring.debugFeed = services.debugFeed;
    wiring.programFolder = host::ProgramFolder();
    wiring.stage = &s.stage_;
    wiring.display = &s.display_;
    wiring.plugins = &s.plugins_;
    wiring.extensions = &s.extensions_;
    wiring.clock = &s.clock_;
    wiring.clicks = &player.clicks;
    wiring.readSettings = [&player](interp::EngineSettings& e) { player.FillEngineSettings(e); };
    wiring.fastForward = [&player] { return player.FastForward(); };
    wiring.onStageFailure = services.onStageFailure;
    app::Shell* shell = services.shell;
    wiring.onTitle = [shell](const std::string& title) { shell->SetTitle(title); };
    wiring.loadCursor = [shell](const std::string& path) { return shell->SetCursor(path); };
    wiring.onCommand = [&player](const std::string& src, const std::string& folder) {
        player.Command(src, folder);
    };
    s.interpreter_ = std::make_unique<interp::Interpreter>(std::move(wiring));
    if (!s.interpreter_->Open(host::InsidePathFromHost(book.lexically_normal()))) {
        return nullptr;
    }
    return session;
}

BookSession::~BookSession() {
    if (player_) {
        player_->WaitForWorker();
        player_->StopWaitIcon();
    }
}

}  // namespace talu::qt
