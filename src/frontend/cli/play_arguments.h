#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/cli/headless_session.h"
#include "frontend/cli/scripted_reader.h"

namespace talu::cli {

/// What every command that plays a book reads from its arguments.
struct PlayArguments {
    /// Host path of the book, as given.
    std::string book;
    /// 0 Japanese, 1 English; the settings' language when not given.
    std::optional<int> langMode;
    /// INI file with the settings (groups EFFECT and SYSTEM); empty for the defaults.
    std::string settings;
    /// NAME=VALUE pairs (CP932) entered into every form before its SUBMIT is pressed.
    FormInputs inputs;
    /// --book: which book of an archive that holds several (UTF-8, as typed); may be empty.
    std::string member;
};

/// Reads args[i] when it is the book, --lang ja|en, --settings FILE, --input NAME=VALUE or --book
/// NAME (moving i onto a value it takes). Anything else starting with "-" is an unknown option.
/// False with a problem text on a usage error; command names the command in it.
bool ReadPlayArgument(const std::vector<std::string_view>& args, std::size_t& i,
                      std::string_view command, PlayArguments& arguments, std::string& problem);

/// False with a problem text when no book was given.
bool CheckPlayArguments(const PlayArguments& arguments, std::string_view command,
                        std::string& problem);

/// The session the arguments ask for; false, with the message written to err, when the book is
/// not a file or an archive that offers no book (or several, --book choosing none).
bool SessionFromArguments(const PlayArguments& arguments, SessionOptions& session,
                          std::ostream& err);

}  // namespace talu::cli
