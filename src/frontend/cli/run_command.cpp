#include "frontend/cli/run_command.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "app/ini_settings_store.h"
#include "app/player.h"
#include "app/settings.h"
#include "frontend/cli/book_relative.h"
#include "frontend/cli/console_shell.h"
#include "frontend/cli/listed_choices.h"
#include "frontend/cli/scripted_reader.h"
#include "frontend/cli/surface_png.h"
#include "host/clock.h"
#include "host/encoding.h"
#include "host/paths.h"
#include "interp/interpreter.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "stage/screen.h"

namespace talu::cli {
namespace {

namespace fs = std::filesystem;

/// The trace: one event per line, from the worker and the runner alike.
class Trace {
  public:
    explicit Trace(std::ostream& out) : out_(out) {}
    void Line(const std::string& cp932) {
        std::lock_guard lock(mutex_);
        out_ << OneLineUtf8(cp932) << '\n';
    }

  private:
    std::mutex mutex_;
    std::ostream& out_;
};

/// The scripted reader's side of the player: boxes are traced and answered, music and sound
/// requests traced.
class RunnerShell : public app::Shell, public script::MessageBoxHost {
  public:
    RunnerShell(Trace& trace, bool answerOk, int langMode)
        : trace_(trace), answerOk_(answerOk), langMode_(langMode) {}

    void SetPlayer(app::Player* player) { player_ = player; }
    void ShowMessageBox(std::string_view text) override { trace_.Line("box " + std::string(text)); }

    bool ShowMessage(const std::string& text, bool withCancel) override {
        trace_.Line("box " + text);
        return !withCancel || answerOk_;
    }

    void Post(int message, std::intptr_t wParam, std::intptr_t lParam) override {
        if (message == app::message::kBgm) {
            trace_.Line("bgm " + player_->PendingBgmSource() + ' ' + std::to_string(wParam) + ' ' +
                        std::to_string(lParam & 0xFFFF) + ' ' + ((lParam >> 16) ? "0" : "1"));
        } else if (message == app::message::kSound) {
            trace_.Line("sound " + player_->PendingSoundName() + ' ' +
                        (player_->SoundWait() ? "0" : "1"));
        }
    }

    void SetStageSize(int, int) override {}

    void SetTitle(const std::string& title) override {
        if (!title.empty()) {  // the empty caption of a book being opened is no event
            trace_.Line("title " + title);
        }
    }

    bool SetCursor(const std::string& insidePath) override {
        trace_.Line("cursor " + BookRelativePath(insidePath, bookFolder_));
        return host::FindHostPath(insidePath, host::HostPathOptions{bookFolder_}).has_value();
    }

    void StartProgram(const std::string& program, const std::string& parameters,
                      const std::string&) override {
        trace_.Line("command " + program + (parameters.empty() ? "" : " " + parameters));
    }

    void OpenWebAddress(const std::string& address) override {
        trace_.Line("command " + address);
    }

    void SetBookFolder(std::string folder) { bookFolder_ = std::move(folder); }

    void RequestClose() override {
        const std::string question = script::PlayerMessage(langMode_, script::msg::kExitQuestion);
        trace_.Line("box " + question);
    }

  private:
    Trace& trace_;
    bool answerOk_;
    int langMode_;
    app::Player* player_ = nullptr;
    std::string bookFolder_;
};

/// Traces every step and wait, writes frames, and enforces the step limit.
class RunnerListener : public app::PlayerListener {
  public:
    RunnerListener(Trace& trace, interp::Interpreter& interpreter, app::Player& player,
                   const stage::Screen& screen, const RunOptions& options)
        : trace_(trace),
          interpreter_(interpreter),
          player_(player),
          screen_(screen),
          options_(options) {}

    void StepDone(int result, const script::TagRecord& record) override {
        int command = 0;
        record.GetCommand(command);
        trace_.Line("step " + std::to_string(result) + ' ' + std::to_string(command) + ' ' +
                    std::to_string(interpreter_.Book().CurrentIndex()));
        lastResult_ = result;
        if (++steps_ >= options_.maxSteps) {
            limitReached_ = true;
            player_.RequestStop();
        }
    }

    // Called once the wait icon's first frame is on the screen and before it animates, so the
    // frames show the icon whatever the icon thread does next.
    void WaitStarted(int kind, int x, int y) override {
        const char* name = kind == script::kw::kBr ? "BR" : kind == script::kw::kW ? "W" : "P";
        trace_.Line(std::string("wait ") + name + ' ' + std::to_string(x) + ' ' +
                    std::to_string(y));
        if (!options_.frames.empty()) {
            char file[32];
            std::snprintf(file, sizeof(file), "%04d.png", ++frame_);
            stage::Surface copy;
            if (screen_.CopyOut(copy)) {
                WriteSurfacePng(fs::path(options_.frames) / file, copy);
            }
        }
    }

    int LastResult() const { return lastResult_.load(); }
    long long Steps() const { return steps_.load(); }
    bool LimitReached() const { return limitReached_.load(); }

  private:
    Trace& trace_;
    interp::Interpreter& interpreter_;
    app::Player& player_;
    const stage::Screen& screen_;
    const RunOptions& options_;
    std::atomic<long long> steps_{0};
    std::atomic<int> lastResult_{0};
    std::atomic<bool> limitReached_{false};
    int frame_ = 0;
};

void WriteTable(Trace& trace, const char* prefix, const script::StringTable& table) {
    std::map<std::string, std::string> sorted(table.Values().begin(), table.Values().end());
    for (const auto& [name, value] : sorted) {
        trace.Line(std::string(prefix) + ' ' + name + ' ' + value);
    }
}

bool ParseLanguage(std::string_view value, std::optional<int>& langMode) {
    if (value == "ja" || value == "en") {
        langMode = value == "ja" ? 0 : 1;
        return true;
    }
    return false;
}

// "K[,K...]": 0-based link indexes, appended to choices.
bool ParseChoices(std::string_view value, std::vector<int>& choices) {
    while (true) {
        const std::size_t comma = value.find(',');
        const std::string_view index = value.substr(0, comma);
        if (index.empty() || index.size() > 9 ||
            index.find_first_not_of("0123456789") != std::string_view::npos) {
            return false;
        }
        choices.push_back(std::stoi(std::string(index)));
        if (comma == std::string_view::npos) {
            return true;
        }
        value.remove_prefix(comma + 1);
    }
}

// "NAME=VALUE" in UTF-8, kept in the book's CP932.
bool ParseInput(std::string_view value, std::vector<std::pair<std::string, std::string>>& inputs) {
    const std::size_t equals = value.find('=');
    if (equals == 0 || equals == std::string_view::npos) {
        return false;
    }
    inputs.emplace_back(host::Utf8ToCp932(value.substr(0, equals)),
                        host::Utf8ToCp932(value.substr(equals + 1)));
    return true;
}

}  // namespace

bool ParseRunArguments(const std::vector<std::string_view>& args, RunOptions& options,
                       std::string& problem) {
    bool haveBook = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool takesValue = arg == "--lang" || arg == "--answer" || arg == "--max-steps" ||
                                arg == "--screenshot" || arg == "--frames" || arg == "--settings" ||
                                arg == "--trace" || arg == "--choose" || arg == "--input";
        if (takesValue && i + 1 >= args.size()) {
            problem = std::string(arg) + " needs a value";
            return false;
        }
        if (arg == "--lang") {
            if (!ParseLanguage(args[++i], options.langMode)) {
                problem = "--lang must be ja or en";
                return false;
            }
        } else if (arg == "--answer") {
            const std::string_view answer = args[++i];
            if (answer != "ok" && answer != "cancel") {
                problem = "--answer must be ok or cancel";
                return false;
            }
            options.answerOk = answer == "ok";
        } else if (arg == "--max-steps") {
            const std::string value(args[++i]);
            if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
                value.size() > 15) {
                problem = "--max-steps needs a whole number";
                return false;
            }
            options.maxSteps = std::stoll(value);
        } else if (arg == "--real-time") {
            options.realTime = true;
        } else if (arg == "--screenshot") {
            options.screenshot = std::string(args[++i]);
        } else if (arg == "--frames") {
            options.frames = std::string(args[++i]);
        } else if (arg == "--settings") {
            options.settings = std::string(args[++i]);
        } else if (arg == "--trace") {
            options.trace = std::string(args[++i]);
        } else if (arg == "--choose") {
            if (!ParseChoices(args[++i], options.choices)) {
                problem = "--choose needs link numbers such as 0 or 1,0,2";
                return false;
            }
        } else if (arg == "--input") {
            if (!ParseInput(args[++i], options.inputs)) {
                problem = "--input needs NAME=VALUE";
                return false;
            }
        } else if (arg.starts_with("-") && arg != "-") {
            problem = "unknown option " + std::string(arg);
            return false;
        } else if (!haveBook) {
            options.book = std::string(arg);
            haveBook = true;
        } else {
            problem = "run takes one book";
            return false;
        }
    }
    if (!haveBook) {
        problem = "run needs a book";
        return false;
    }
    return true;
}

int RunBook(const RunOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    const fs::path hostBook = fs::absolute(options.book, ec);
    if (ec || !fs::is_regular_file(hostBook, ec)) {
        err << "talu-cli: cannot open book '" << options.book << "'\n";
        return 1;
    }
    std::ofstream traceFile;
    if (!options.trace.empty()) {
        traceFile.open(options.trace, std::ios::binary);
        if (!traceFile) {
            err << "talu-cli: cannot write '" << options.trace << "'\n";
            return 1;
        }
    }
    if (!options.frames.empty() && !fs::create_directories(options.frames, ec) && ec) {
        err << "talu-cli: cannot create '" << options.frames << "'\n";
        return 1;
    }
    Trace trace(options.trace.empty() ? out : traceFile);

    const std::string programFolder = host::ProgramFolder();
    app::Settings settings;
    app::IniSettingsStore store;
    if (!options.settings.empty() && !store.Load(options.settings)) {
        err << "talu-cli: cannot read '" << options.settings << "'\n";
        return 1;
    }
    settings.Read(store, programFolder);
    if (options.langMode) {
        settings.langMode = *options.langMode;
    }
    const int langMode = settings.langMode;

    host::VirtualClock virtualClock;
    host::SteadyClock realClock;
    host::Clock& clock = options.realTime ? static_cast<host::Clock&>(realClock) : virtualClock;
    const std::int64_t started = clock.NowMs();

    RunnerShell shell(trace, options.answerOk, langMode);
    script::Diagnostics diagnostics(shell, langMode);
    stage::Screen screen;
    stage::Stage stageLayers;
    if (!screen.Create(stage::PixelFormat::Rgb565()) || !stageLayers.Create()) {
        err << "talu-cli: cannot create the stage\n";
        return 1;
    }
    stageLayers.SetOutput(stage::StageOutput{&screen, stage::EffectOptions{&clock}});
    stageLayers.SetPresentListener([&trace](const stage::PresentCall& call) {
        if (!call.rect) {
            trace.Line("present " + std::to_string(call.effect) + ' ' + std::to_string(call.time));
        }
    });
    interp::MessageDisplay display;
    stage::PluginList plugins;
    plugins.Scan();
    stage::ExtensionMap extensions;

    // The wait icon animates on real time of its own: its sleeps must not move the book's
    // virtual clock, and the runner clicks at once anyway.
    app::Player player(shell, settings, clock, &realClock);
    shell.SetPlayer(&player);
    interp::InterpreterServices services;
    services.diagnostics = &diagnostics;
    services.programFolder = programFolder;
    services.stage = &stageLayers;
    services.display = &display;
    services.plugins = &plugins;
    services.extensions = &extensions;
    services.clock = &clock;
    services.clicks = &player.clicks;
    services.readSettings = [&player](interp::EngineSettings& e) { player.FillEngineSettings(e); };
    services.fastForward = [&player] { return player.FastForward(); };
    services.onTitle = [&shell](const std::string& title) { shell.SetTitle(title); };
    services.loadCursor = [&shell](const std::string& path) { return shell.SetCursor(path); };
    services.onCommand = [&player](const std::string& src, const std::string& folder) {
        player.Command(src, folder);
    };
    services.onTypeText = [&trace](std::string_view text) {
        trace.Line("text " + std::string(text));
    };
    std::string bookFolder;  // set once the book is open, before the worker starts
    services.onSnap = [&trace, &bookFolder](const std::string& path) {
        trace.Line("snap " + BookRelativePath(path, bookFolder));
    };
    interp::Interpreter interpreter(std::move(services));
    if (!interpreter.Open(host::InsidePathFromHost(hostBook.lexically_normal()))) {
        err << "talu-cli: cannot read book '" << options.book << "'\n";
        return 1;
    }
    shell.SetBookFolder(interpreter.Book().Folder());
    bookFolder = interpreter.Book().Folder();
    RunnerListener listener(trace, interpreter, player, screen, options);
    player.SetListener(&listener);

    player.BookOpened(&interpreter);
    std::string reason;
    long long stepsBeforeClick = -1;
    ListedChoices choices(options.choices);
    const TraceLine line = [&trace](const std::string& text) { trace.Line(text); };
    std::string problem;
    while (reason.empty()) {
        player.WaitForWorker();
        const int last = listener.LastResult();
        if (listener.LimitReached()) {
            reason = "max-steps";
        } else if (last == 25) {
            reason = "trap";
        } else if (last == interp::step::kBookEnd || last == 33) {
            reason = last == 33 ? "end-tag" : "book-end";  // the end box and close were answered
        } else if (listener.Steps() == stepsBeforeClick) {
            reason = "max-steps";  // a click that starts nothing: the run cannot go on
        } else if (player.ChoicePending()) {
            stepsBeforeClick = listener.Steps();
            TraceLinks(interpreter.Links(), line);
            const auto k = choices.Choose(ChoosableLinks(interpreter.Links()));
            if (!k) {
                problem = "no link can be chosen";
            }
            if (!k || !TakeLinkAsReader(player, interpreter, *k, line, problem)) {
                reason = "no-choice";
            }
        } else if (player.FormPending()) {
            stepsBeforeClick = listener.Steps();
            if (!SubmitFormAsReader(player, interpreter, options.inputs, line, problem)) {
                reason = "no-submit";
            }
        } else {
            stepsBeforeClick = listener.Steps();
            trace.Line("click");
            player.Click();
        }
    }
    if (!problem.empty()) {
        err << "talu-cli: " << problem << '\n';
    }
    WriteTable(trace, "var", interpreter.Variables().Variables());
    WriteTable(trace, "bmk", interpreter.Variables().Bookmarks());
    trace.Line("end " + reason + ' ' + std::to_string(clock.NowMs() - started));

    if (!options.screenshot.empty()) {
        stage::Surface copy;
        if (!screen.CopyOut(copy) || !WriteSurfacePng(options.screenshot, copy)) {
            err << "talu-cli: cannot write '" << options.screenshot << "'\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace talu::cli
