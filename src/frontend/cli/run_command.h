#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talu::cli {

struct RunOptions {
    /// Host path of the book.
    std::string book;
    /// 0 Japanese, 1 English; the settings' language when not given.
    std::optional<int> langMode;
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
    /// INI file with the settings (groups EFFECT and SYSTEM); empty for the defaults.
    std::string settings;
    /// Where the trace goes; empty for standard output.
    std::string trace;
    /// The links taken at the book's choices, in order (0-based among the shown links); once
    /// they are used up, the first link that can be chosen.
    std::vector<int> choices;
    /// NAME=VALUE pairs (CP932) entered into every form before its SUBMIT is pressed.
    std::vector<std::pair<std::string, std::string>> inputs;
};

/// Reads the run command's arguments; false with a problem text on a usage error.
bool ParseRunArguments(const std::vector<std::string_view>& args, RunOptions& options,
                       std::string& problem);

/// Runs a book headless: a scripted reader clicks whenever the book waits and answers boxes,
/// and every event is written to the trace (UTF-8, one per line). Returns the exit status.
int RunBook(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace talu::cli
