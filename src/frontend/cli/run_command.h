#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/cli/play_arguments.h"
#include "frontend/cli/reader_actions.h"

namespace talu::cli {

struct RunOptions {
    /// The book, its language, settings and form inputs.
    PlayArguments play;
    /// The answer to OK/Cancel boxes (the end of the book, the close question).
    bool answerOk = true;
    /// The run stops after this many steps.
    long long maxSteps = 1000000;
    /// Sleeps really sleep (otherwise they only advance a virtual clock).
    bool realTime = false;
    /// PNG of the screen at the end; empty for none.
    std::string screenshot;
    /// Folder for a PNG of the screen at every wait (0001.png, ...); empty for none.
    std::string frames;
    /// WAVE file of everything the book played, mixed on its clock; empty for none.
    std::string audio;
    /// Where the trace goes; empty for standard output.
    std::string trace;
    /// Where the backlog is written at the end of the run; empty for nowhere.
    std::string backlog;
    /// The links taken at the book's choices, in order (0-based among the shown links); once
    /// they are used up, the first link that can be chosen.
    std::vector<int> choices;
    /// --at, --load, --auto-load: the reader's bookmark commands.
    ReaderActions atWait;
    std::optional<int> loadAtStart;
    std::optional<int> autoLoad;
    /// --date: the local time bookmark headers write.
    std::optional<app::LocalTime> date;
    /// --skip read|all, --auto MS-PER-CHARACTER: the mode the reader keeps on.
    app::ReadingMode mode = app::ReadingMode::kNone;
    bool skipUnread = false;
    int autoPace = app::Settings::kDefaultAutoPace;
    /// What the text feed would send, one message a line; empty for none.
    std::string textFeed;
    /// --wrap-at-spaces: the setting that wraps Latin words at spaces, whatever the settings say.
    bool wrapAtSpaces = false;
};

/// Reads the run command's arguments; false with a problem text on a usage error.
bool ParseRunArguments(const std::vector<std::string_view>& args, RunOptions& options,
                       std::string& problem);

/// Prints the nine lines of the bookmark dialog for the book's slots 1 to 9 (UTF-8). Returns
/// the exit status.
int ListBookmarks(const std::string& book, std::ostream& out, std::ostream& err);

/// Runs a book headless: a scripted reader clicks whenever the book waits and answers boxes,
/// and every event is written to the trace (UTF-8, one per line). Returns the exit status.
int RunBook(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace talu::cli
