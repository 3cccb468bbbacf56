#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/cli/play_arguments.h"

namespace talu::cli {

struct ExploreOptions {
    /// The book, its language, settings and the inputs every form gets.
    PlayArguments play;
    /// At most this many runs.
    long long maxPaths = 1000;
    /// One run stops after this many steps.
    long long maxSteps = 100000;
};

/// Reads the explore command's arguments; false with a problem text on a usage error.
bool ParseExploreArguments(const std::vector<std::string_view>& args, ExploreOptions& options,
                           std::string& problem);

/// Plays a book headless again and again, taking a different combination of choices each time,
/// and reports every path, which labels were reached and which never were, every message box
/// met, choices where no link can be taken, and paths that go round without reaching anything
/// new. Returns the exit status: 0 when nothing was found, 1 when something was (or the book
/// cannot be played).
int ExploreBook(const ExploreOptions& options, std::ostream& out, std::ostream& err);

}  // namespace talu::cli
