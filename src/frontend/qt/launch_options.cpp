#include "frontend/qt/launch_options.h"

#include <algorithm>
#include <cctype>

namespace talu::qt {
namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

bool ParseLaunch(const std::vector<std::string>& arguments, const std::filesystem::path& currentDir,
                 LaunchOptions& options, std::string& error) {
    const std::string baseName = arguments.empty()
                                     ? std::string("talu")
                                     : std::filesystem::path(arguments.front()).stem().string();
    std::string bookArgument;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "-V" || argument == "--version") {
            options.version = true;
        } else if (argument == "--window") {
            options.display = DisplayChoice::kWindow;
        } else if (argument == "--fullscreen") {
            options.display = DisplayChoice::kFullScreen;
        } else if (argument == "--lang") {
            const std::string value = i + 1 < arguments.size() ? arguments[++i] : "";
            if (value != "ja" && value != "en") {
                error = "--lang needs ja or en";
                return false;
            }
            options.langMode = value == "ja" ? 0 : 1;
        } else if (argument.size() > 1 && argument.front() == '-') {
            error = "unknown option '" + argument + "'";
            return false;
        } else if (bookArgument.empty()) {
            bookArgument = argument;
        }
    }
    options.singleBook = Upper(baseName) != "TALU";
    if (options.singleBook) {
        options.book = currentDir / (baseName + ".talu");
    } else if (!bookArgument.empty()) {
        options.book = (currentDir / bookArgument).lexically_normal();
    }
    return true;
}

std::string LaunchUsage() {
    return "Usage: talu [BOOK.talu] [--window | --fullscreen] [--lang ja|en]\n"
           "\n"
           "Reads an illustrated story. Without BOOK an installed talu opens its demo book\n"
           "and one run from its build folder opens empty; the right mouse button (or Alt)\n"
           "shows the menu with Open.\n"
           "\n"
           "Options:\n"
           "  --window        show the first book in a window without asking\n"
           "  --fullscreen    show the first book full screen without asking\n"
           "  --lang ja|en    the language of menus, dialogs and messages\n"
           "  -h, --help      show this help and exit\n"
           "  -V, --version   show the version and exit\n"
           "\n"
           "A copy or link of talu with another name, such as tale, opens tale.talu from the\n"
           "current folder.\n";
}

}  // namespace talu::qt
