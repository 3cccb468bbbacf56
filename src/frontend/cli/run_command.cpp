#include "frontend/cli/run_command.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "app/backlog_file.h"
#include "frontend/cli/console_shell.h"
#include "frontend/cli/headless_session.h"
#include "frontend/cli/listed_choices.h"
#include "frontend/cli/text_feed_file.h"
#include "host/encoding.h"
#include "host/paths.h"
#include "script/keywords.h"
#include "stage/surface_png.h"

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

void WriteTable(Trace& trace, const char* prefix, const script::StringTable& table) {
    std::map<std::string, std::string> sorted(table.Values().begin(), table.Values().end());
    for (const auto& [name, value] : sorted) {
        trace.Line(std::string(prefix) + ' ' + name + ' ' + value);
    }
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

// --skip read|all, --auto MS-PER-CHARACTER.
bool ParseModeArgument(std::string_view arg, std::string_view value, RunOptions& options,
                       std::string& problem) {
    if (options.mode != app::ReadingMode::kNone) {
        problem = "--skip and --auto are given once, and not together";
        return false;
    }
    if (arg == "--skip") {
        if (value != "read" && value != "all") {
            problem = "--skip must be read or all";
            return false;
        }
        options.mode = app::ReadingMode::kSkip;
        options.skipUnread = value == "all";
        return true;
    }
    if (value.empty() || value.size() > 3 ||
        value.find_first_not_of("0123456789") != std::string_view::npos ||
        std::stoi(std::string(value)) > app::Settings::kMaxAutoPace) {
        problem = "--auto needs milliseconds per character, 0 to " +
                  std::to_string(app::Settings::kMaxAutoPace);
        return false;
    }
    options.mode = app::ReadingMode::kAuto;
    options.autoPace = std::stoi(std::string(value));
    return true;
}

}  // namespace

bool ParseRunArguments(const std::vector<std::string_view>& args, RunOptions& options,
                       std::string& problem) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool takesValue =
            arg == "--answer" || arg == "--max-steps" || arg == "--screenshot" ||
            arg == "--frames" || arg == "--trace" || arg == "--choose" || arg == "--at" ||
            arg == "--load" || arg == "--auto-load" || arg == "--date" || arg == "--audio" ||
            arg == "--skip" || arg == "--auto" || arg == "--backlog" || arg == "--text-feed";
        if (takesValue && i + 1 >= args.size()) {
            problem = std::string(arg) + " needs a value";
            return false;
        }
        if (arg == "--answer") {
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
        } else if (arg == "--wrap-at-spaces") {
            options.wrapAtSpaces = true;
        } else if (arg == "--screenshot") {
            options.screenshot = std::string(args[++i]);
        } else if (arg == "--frames") {
            options.frames = std::string(args[++i]);
        } else if (arg == "--audio") {
            options.audio = std::string(args[++i]);
        } else if (arg == "--trace") {
            options.trace = std::string(args[++i]);
        } else if (arg == "--text-feed") {
            options.textFeed = std::string(args[++i]);
        } else if (arg == "--backlog") {
            options.backlog = std::string(args[++i]);
        } else if (arg == "--choose") {
            if (!ParseChoices(args[++i], options.choices)) {
                problem = "--choose needs link numbers such as 0 or 1,0,2";
                return false;
            }
        } else if (arg == "--at") {
            if (!ParseReaderAction(args[++i], options.atWait, problem)) {
                return false;
            }
        } else if (arg == "--load") {
            options.loadAtStart = ParseSlot(args[++i]);
            if (!options.loadAtStart) {
                problem = "--load needs a slot 0 to 9";
                return false;
            }
        } else if (arg == "--auto-load") {
            const std::string_view value = args[++i];
            options.autoLoad = ParseSlot(value);
            if (!options.autoLoad && value != "cancel") {
                problem = "--auto-load needs a slot 0 to 9 or cancel";
                return false;
            }
        } else if (arg == "--date") {
            options.date = ParseLocalTime(args[++i]);
            if (!options.date) {
                problem = "--date needs YYYY-MM-DDTHH:MM";
                return false;
            }
        } else if (arg == "--skip" || arg == "--auto") {
            if (!ParseModeArgument(arg, args[++i], options, problem)) {
                return false;
            }
        } else if (!ReadPlayArgument(args, i, "run", options.play, problem)) {
            return false;
        }
    }
    return CheckPlayArguments(options.play, "run", problem);
}

namespace {

// What the run traces at every step and wait, the pictures --frames keeps and the messages
// --text-feed writes.
struct RunHooks {
    RunHooks(const RunOptions& options, Trace& trace, HeadlessSession& player) {
        hooks.step = [&trace, &player](int result, const script::TagRecord& record) {
            int command = 0;
            record.GetCommand(command);
            trace.Line("step " + std::to_string(result) + ' ' + std::to_string(command) + ' ' +
                       std::to_string(player.GetInterpreter().Book().CurrentIndex()));
        };
        hooks.picture = [this, &options, &player] {
            if (options.frames.empty()) {
                return;
            }
            char file[32];
            std::snprintf(file, sizeof(file), "%04d.png", ++frame);
            const fs::path path = fs::path(options.frames) / file;
            stage::Surface copy;
            if (!player.GetScreen().CopyOut(copy) || !stage::WriteSurfacePng(path, copy)) {
                lostFrame = path.string();
                player.Stop("write-failed");  // the frames after it would be lost as well
            }
        };
        hooks.wait = [this, &trace](int kind, int x, int y) {
            const char* name = kind == interp::step::kLineWait    ? "BR"
                               : kind == interp::step::kClickWait ? "W"
                                                                  : "P";
            trace.Line(std::string("wait ") + name + ' ' + std::to_string(x) + ' ' +
                       std::to_string(y));
            hooks.picture();
        };
        if (!options.textFeed.empty()) {
            feedPath = options.textFeed;
            feedOpen = feed.Open(feedPath);
            hooks.pageShown = [this](const app::ShownPage& page) { feed.Page(page); };
        }
    }
    RunHooks(const RunHooks&) = delete;
    RunHooks& operator=(const RunHooks&) = delete;

    /// Closes what the hooks wrote and says what could not be written; false then.
    bool Finish(std::ostream& err) {
        if (!lostFrame.empty()) {
            err << "talu-cli: cannot write '" << lostFrame << "'\n";
        }
        const bool feedWritten = feedPath.empty() || (feedOpen && feed.Close());
        if (!feedWritten) {
            err << "talu-cli: cannot write the text feed to '" << feedPath << "'\n";
        }
        return lostFrame.empty() && feedWritten;
    }

    SessionHooks hooks;
    int frame = 0;
    /// The first frame that could not be written.
    std::string lostFrame;
    /// --text-feed: the file, and whether it could be made.
    TextFeedFile feed;
    std::string feedPath;
    bool feedOpen = false;
};

/// What the run's options change in the session: answers, time, modes, wrapping, recording.
void TakeRunSettings(const RunOptions& options, SessionOptions& session) {
    session.answerOk = options.answerOk;
    session.realTime = options.realTime;
    session.date = options.date;
    session.recordAudio = !options.audio.empty();
    if (options.wrapAtSpaces) {
        session.wrapAtSpaces = true;
    }
    if (options.mode == app::ReadingMode::kSkip) {
        session.skipUnread = options.skipUnread;
    } else if (options.mode == app::ReadingMode::kAuto) {
        session.autoPace = options.autoPace;
    }
}

/// Writes the last picture, the backlog and the recorded sound the options ask for; says what
/// could not be written, and returns false then.
bool WriteRunResults(const RunOptions& options, HeadlessSession& player, std::ostream& err) {
    bool written = true;
    if (!options.screenshot.empty()) {
        stage::Surface copy;
        if (!player.GetScreen().CopyOut(copy) ||
            !stage::WriteSurfacePng(options.screenshot, copy)) {
            err << "talu-cli: cannot write '" << options.screenshot << "'\n";
            written = false;
        }
    }
    if (!options.backlog.empty()) {
        std::ofstream backlog(options.backlog, std::ios::binary);
        backlog << app::FormatBacklog(player.BacklogEntries());
        backlog.close();
        if (!backlog) {
            err << "talu-cli: cannot write '" << options.backlog << "'\n";
            written = false;
        }
    }
    std::string audioProblem;
    if (!options.audio.empty() && !player.WriteAudio(options.audio, audioProblem)) {
        err << "talu-cli: cannot write '" << options.audio << "': " << audioProblem << '\n';
        written = false;
    }
    return written;
}

}  // namespace

int RunBook(const RunOptions& options, std::ostream& out, std::ostream& err) {
    SessionOptions session;
    if (!SessionFromArguments(options.play, session, err)) {
        return 1;
    }
    std::error_code ec;
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
    const TraceLine line = [&trace](const std::string& text) { trace.Line(text); };
    TakeRunSettings(options, session);
    std::string problem;
    std::unique_ptr<HeadlessSession> player = HeadlessSession::Open(session, line, problem);
    if (!player) {
        err << "talu-cli: " << problem << '\n';
        return 1;
    }
    RunHooks run(options, trace, *player);
    ListedChoices choices(options.choices);
    ReaderScript reader;
    reader.choose = [&choices](const std::vector<int>& choosable) {
        return choices.Choose(choosable);
    };
    reader.inputs = options.play.inputs;
    reader.maxSteps = options.maxSteps;
    reader.atWait = options.atWait;
    reader.loadAtStart = options.loadAtStart;
    reader.autoLoad = options.autoLoad;
    reader.mode = options.mode;
    const std::string reason = player->Play(reader, run.hooks, problem);
    if (!problem.empty()) {
        err << "talu-cli: " << problem << '\n';
    }
    interp::Interpreter& interpreter = player->GetInterpreter();
    WriteTable(trace, "var", interpreter.Variables().Variables());
    WriteTable(trace, "bmk", interpreter.Variables().Bookmarks());
    trace.Line("end " + reason + ' ' + std::to_string(player->ElapsedMs()));

    int status = 0;
    if (!run.Finish(err)) {
        status = 1;
    }
    if (!WriteRunResults(options, *player, err)) {
        status = 1;
    }
    // A full disk shows only when the last buffered lines go out. (Standard output is the
    // caller's to check.)
    if (!options.trace.empty()) {
        traceFile.close();
        if (!traceFile) {
            err << "talu-cli: cannot write the trace to '" << options.trace << "'\n";
            status = 1;
        }
    }
    return status;
}

int ListBookmarks(const std::string& book, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    const fs::path path = fs::absolute(book, ec);
    if (ec || !fs::is_regular_file(path, ec)) {
        err << "talu-cli: cannot open book '" << book << "'\n";
        return 1;
    }
    app::BookmarkServices services;
    services.showBox = [](const std::string&) {};
    services.langMode = [] { return 0; };
    services.now = app::LocalTimeNow;
    services.musicLines = [](std::vector<std::string>&) {};
    app::BookmarkManager manager(std::move(services));
    manager.Reset(host::InsidePathFromHost(path.lexically_normal()));
    for (const app::SlotSummary& slot : manager.SlotList()) {
        out << OneLineUtf8(slot.ListLine()) << '\n';
    }
    return 0;
}

}  // namespace talu::cli
