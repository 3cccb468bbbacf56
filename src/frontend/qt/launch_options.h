#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What the command line and the program's own name ask of the desktop player.
namespace talu::qt {

/// How the first book is shown: asked then, or decided by --window / --fullscreen.
enum class DisplayChoice { kAsk, kWindow, kFullScreen };

struct LaunchOptions {
    bool help = false;
    bool version = false;
    /// The program's name is not TALU: it opens the book of its own name and offers neither
    /// Open nor Debug.
    bool singleBook = false;
    /// Absolute host path of the book to open at start; empty for none.
    std::filesystem::path book;
    DisplayChoice display = DisplayChoice::kAsk;
    /// --lang: 0 Japanese, 1 English; the settings' language when not given.
    std::optional<int> langMode;
};

/// Reads the arguments (the first is the program as it was started, so a link or copy named
/// "tale" opens "tale.talu" from currentDir). The first argument that is no option is the book;
/// further ones are ignored. False, with a message in error, for an unknown option or a bad value.
bool ParseLaunch(const std::vector<std::string>& arguments, const std::filesystem::path& currentDir,
                 LaunchOptions& options, std::string& error);

/// The text --help prints.
std::string LaunchUsage();

}  // namespace talu::qt
