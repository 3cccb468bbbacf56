// talu-cli: the headless side of the player, for book authors and tests.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/cli/check_command.h"
#include "frontend/cli/explore_command.h"
#include "frontend/cli/fetch_command.h"
#include "frontend/cli/picture_command.h"
#include "frontend/cli/run_command.h"
#include "frontend/cli/tag_descriptions.h"
#include "frontend/cli/tags_command.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: talu-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  bookmarks BOOK             print the bookmark dialog's nine lines for BOOK's slots\n"
    "  check BOOK [--book NAME]   report what the player would stumble on in BOOK and every\n"
    "                             file it reaches, as FILE:LINE: message lines; exit status 1\n"
    "                             when anything is reported\n"
    "  explore BOOK [--max-paths N] [--max-steps N] [--lang ja|en] [--settings FILE.ini]\n"
    "          [--input NAME=VALUE]... [--book NAME]\n"
    "                             play BOOK headless again and again, taking every\n"
    "                             combination of choices (forms get --input as in run), and\n"
    "                             report each path, the labels reached and never reached,\n"
    "                             message boxes, choices with no link to take and paths that\n"
    "                             go round for ever; exit status 1 when anything is found\n"
    "  fetch BOOK [--lang ja|en]  print every record the player reads from BOOK, in order,\n"
    "                             without running it (one line per record)\n"
    "  picture FILE --out OUT.png [--format 565|555] [--auto-key] [--width W|N%]\n"
    "          [--height H|N%] [--filter MONO|INVERSE|SEPIA|#RRGGBB] [--lang ja|en]\n"
    "                             load FILE as a book's picture is loaded (archive members\n"
    "                             too: data.lzh/img/face.bmp) and write the 16-bit result as\n"
    "                             PNG; prints WIDTHxHEIGHT\n"
    "  run BOOK [--lang ja|en] [--answer ok|cancel] [--max-steps N] [--real-time]\n"
    "          [--screenshot FILE.png] [--frames DIR] [--settings FILE.ini] [--trace FILE]\n"
    "          [--choose K[,K...]] [--input NAME=VALUE]... [--at N:ACTION]...\n"
    "          [--load S] [--auto-load S|cancel] [--date YYYY-MM-DDTHH:MM]\n"
    "          [--audio FILE.wav] [--book NAME] [--skip read|all | --auto MS-PER-CHARACTER]\n"
    "          [--backlog FILE] [--text-feed FILE] [--wrap-at-spaces]\n"
    "                             run BOOK headless: a scripted reader clicks at every wait\n"
    "                             and answers boxes; every event goes to the trace\n"
    "                             --choose: the links to take at the choices, in order\n"
    "                             (0-based among the shown links; then the first one that\n"
    "                             can be chosen)\n"
    "                             --input: entered into every form before its first SUBMIT\n"
    "                             (a text field's text, a check box checked when VALUE is\n"
    "                             its value or \"on\", the radio button of that value)\n"
    "                             --at: at the N-th wait, before the click: save[:S],\n"
    "                             load[:S], initialize:S, comment:TEXT, next-choice,\n"
    "                             hide-window (S a bookmark slot 0 to 9) or back:K (return\n"
    "                             to the start of the page K pages before this one)\n"
    "                             --backlog: write the pages read (UTF-8, one block per\n"
    "                             page) to FILE at the end of the run\n"
    "                             --load: load slot S right after opening; --auto-load:\n"
    "                             the answer to an automatic book's load-only dialog;\n"
    "                             --date: the time bookmark headers write\n"
    "                             --skip: wherever the book waits with skip off, skip\n"
    "                             starts again (over pages read before, or all pages);\n"
    "                             --auto: auto starts again instead, at this pace\n"
    "                             (traced: skip start, skip stop REASON, auto click TIME)\n"
    "                             --text-feed: what the window's text feed would send,\n"
    "                             one message a line\n"
    "                             --wrap-at-spaces: text in Latin letters wraps at spaces,\n"
    "                             not inside words (the setting, whatever --settings says)\n"
    "  tags --html DIR            write the authors' reference of every tag, its attributes\n"
    "                             and values, in Japanese and English (DIR/ja/index.html,\n"
    "                             DIR/en/index.html)\n"
    "\n"
    "BOOK may be an archive (.lzh, .zip, .7z) holding the book at its top or in its one top\n"
    "folder; run, explore and check read it from there. --book NAME picks one of several.\n"
    "\n"
    "Options:\n"
    "  -h, --help                 show this help and exit\n"
    "  -V, --version              show the version and exit\n";

int UsageError(std::string_view message) {
    std::cerr << "talu-cli: " << message << "\n\n" << kUsage;
    return 2;
}

bool ParseLanguage(std::string_view value, int& langMode) {
    if (value == "ja") {
        langMode = 0;
        return true;
    }
    if (value == "en") {
        langMode = 1;
        return true;
    }
    return false;
}

int Check(const std::vector<std::string_view>& args) {
    talu::cli::CheckOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--book") {
            if (i + 1 >= args.size()) {
                return UsageError("--book needs a value");
            }
            options.member = std::string(args[++i]);
            continue;
        }
        if (arg.starts_with("-") && arg != "-") {
            return UsageError("unknown option " + std::string(arg));
        }
        if (!options.book.empty()) {
            return UsageError("check takes one book");
        }
        options.book = std::string(arg);
    }
    if (options.book.empty()) {
        return UsageError("check needs a book");
    }
    return talu::cli::RunCheck(options, std::cout, std::cerr);
}

int Fetch(const std::vector<std::string_view>& args) {
    talu::cli::FetchOptions options;
    bool haveBook = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--lang") {
            if (i + 1 >= args.size()) {
                return UsageError("--lang needs ja or en");
            }
            if (!ParseLanguage(args[++i], options.langMode)) {
                return UsageError("--lang must be ja or en");
            }
        } else if (arg.starts_with("--lang=")) {
            if (!ParseLanguage(arg.substr(7), options.langMode)) {
                return UsageError("--lang must be ja or en");
            }
        } else if (arg.starts_with("-") && arg != "-") {
            return UsageError("unknown option " + std::string(arg));
        } else if (!haveBook) {
            options.book = std::string(arg);
            haveBook = true;
        } else {
            return UsageError("fetch takes one book");
        }
    }
    if (!haveBook) {
        return UsageError("fetch needs a book");
    }
    return talu::cli::RunFetch(options, std::cout, std::cerr);
}

int RunCommand(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        return UsageError("no command given");
    }
    std::string_view command = args.front();
    if (command == "-h" || command == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "-V" || command == "--version") {
        std::cout << "talu-cli " << TALU_VERSION << '\n';
        return 0;
    }
    std::vector<std::string_view> rest(args.begin() + 1, args.end());
    for (std::string_view arg : rest) {
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
    }
    if (command == "check") {
        return Check(rest);
    }
    if (command == "fetch") {
        return Fetch(rest);
    }
    if (command == "explore") {
        talu::cli::ExploreOptions options;
        std::string problem;
        if (!talu::cli::ParseExploreArguments(rest, options, problem)) {
            return UsageError(problem);
        }
        return talu::cli::ExploreBook(options, std::cout, std::cerr);
    }
    if (command == "picture") {
        talu::cli::PictureOptions options;
        std::string problem;
        if (!talu::cli::ParsePictureArguments(rest, options, problem)) {
            return UsageError(problem);
        }
        return talu::cli::RunPicture(options, std::cout, std::cerr);
    }
    if (command == "bookmarks") {
        if (rest.size() != 1 || rest[0].starts_with("-")) {
            return UsageError("bookmarks takes one book");
        }
        return talu::cli::ListBookmarks(std::string(rest[0]), std::cout, std::cerr);
    }
    if (command == "run") {
        talu::cli::RunOptions options;
        std::string problem;
        if (!talu::cli::ParseRunArguments(rest, options, problem)) {
            return UsageError(problem);
        }
        return talu::cli::RunBook(options, std::cout, std::cerr);
    }
    if (command == "tags") {
        if (rest.size() != 2 || rest[0] != "--html" || rest[1].starts_with("-")) {
            return UsageError("tags takes --html DIR");
        }
        return talu::cli::WriteTagReference(
            std::string(rest[1]), talu::cli::BuiltInTagDescriptions(), std::cout, std::cerr);
    }
    return UsageError("unknown command " + std::string(command));
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    int status = RunCommand(std::vector<std::string_view>(argv + 1, argv + argc));
    // Reports and traces go to standard output; one that did not get there all is a failure.
    if (!std::cout.flush()) {
        std::cerr << "talu-cli: cannot write to standard output\n";
        status = status == 0 ? 1 : status;
    }
    return status;
}
