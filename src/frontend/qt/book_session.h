#pragma once

#include <filesystem>
#include <memory>

#include "app/player.h"
#include "app/settings.h"
#include "app/shell.h"
#include "host/clock.h"
#include "interp/interpreter.h"
#include "script/debug_feed.h"
#include "script/diagnostics.h"
#include "stage/screen.h"

namespace talu::qt {

/// What the window needs of one open book: its screen, interpreter and player, wired to the
/// window's shell. Replaced whole when another book opens.
class BookSession {
  public:
    struct Services {
        app::Shell* shell = nullptr;
        script::MessageBoxHost* boxes = nullptr;
        script::DebugFeed* debugFeed = nullptr;
        app::Settings* settings = nullptr;
        /// A stage tag failed: the debug window comes up; optional.
        std::function<void()> onStageFailure;
    };

    /// Makes the stage and reads the book; null when either fails.
    static std::unique_ptr<BookSession> Open(const Services& services,
                                             const std::filesystem::path& book);
    /// Ends the worker and the wait icon before anything goes.
    ~BookSession();

    app::Player& Player() { return *player_; }
    interp::Interpreter& Interpreter() { return *interpreter_; }
    stage::Screen& Screen() { return screen_; }

  private:
    BookSession() = default;

    host::SteadyClock clock_;
    std::unique_ptr<script::Diagnostics> diagnostics_;
    stage::Screen screen_;
    stage::Stage stage_;
    interp::MessageDisplay display_;
    stage::PluginList plugins_;
    stage::ExtensionMap extensions_;
    std::unique_ptr<app::Player> player_;
    std::unique_ptr<interp::Interpreter> interpreter_;
};

}  // namespace talu::qt
