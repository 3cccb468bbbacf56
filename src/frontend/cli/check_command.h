#pragma once

#include <ostream>
#include <string>

namespace talu::cli {

struct CheckOptions {
    /// Host path of the book file.
    std::string book;
    /// --book: which book of an archive that holds several (UTF-8, as typed); may be empty.
    std::string member;
};

/// Checks a book for what the player would stumble on and prints one "FILE:LINE: message" line
/// per finding (FILE relative to the book's folder). Returns the process exit status: 0 when
/// clean, 1 when anything was found or the book cannot be read.
int RunCheck(const CheckOptions& options, std::ostream& out, std::ostream& err);

}  // namespace talu::cli
