#include "frontend/cli/play_arguments.h"

#include <filesystem>

#include "frontend/cli/archive_argument.h"

namespace talu::cli {

bool ReadPlayArgument(const std::vector<std::string_view>& args, std::size_t& i,
                      std::string_view command, PlayArguments& arguments, std::string& problem) {
    const std::string_view arg = args[i];
    const bool takesValue =
        arg == "--lang" || arg == "--settings" || arg == "--input" || arg == "--book";
    if (takesValue && i + 1 >= args.size()) {
        problem = std::string(arg) + " needs a value";
        return false;
    }
    if (arg == "--lang") {
        const std::string_view value = args[++i];
        if (value != "ja" && value != "en") {
            problem = "--lang must be ja or en";
            return false;
        }
        arguments.langMode = value == "ja" ? 0 : 1;
    } else if (arg == "--settings") {
        arguments.settings = std::string(args[++i]);
    } else if (arg == "--input") {
        if (!ParseFormInput(args[++i], arguments.inputs)) {
            problem = "--input needs NAME=VALUE";
            return false;
        }
    } else if (arg == "--book") {
        arguments.member = std::string(args[++i]);
    } else if (arg.starts_with("-") && arg != "-") {
        problem = "unknown option " + std::string(arg);
        return false;
    } else if (arguments.book.empty()) {
        arguments.book = std::string(arg);
    } else {
        problem = std::string(command) + " takes one book";
        return false;
    }
    return true;
}

bool CheckPlayArguments(const PlayArguments& arguments, std::string_view command,
                        std::string& problem) {
    if (arguments.book.empty()) {
        problem = std::string(command) + " needs a book";
        return false;
    }
    return true;
}

bool SessionFromArguments(const PlayArguments& arguments, SessionOptions& session,
                          std::ostream& err) {
    std::error_code ec;
    session.book = std::filesystem::absolute(arguments.book, ec);
    if (ec || !std::filesystem::is_regular_file(session.book, ec)) {
        err << "talu-cli: cannot open book '" << arguments.book << "'\n";
        return false;
    }
    const std::optional<std::string> member =
        ArchiveBookArgument(session.book, arguments.member, err);
    if (!member) {
        return false;
    }
    session.member = *member;
    session.langMode = arguments.langMode;
    session.settings = arguments.settings;
    return true;
}

}  // namespace talu::cli
