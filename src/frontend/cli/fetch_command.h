#pragma once

#include <ostream>
#include <string>

namespace talu::cli {

struct FetchOptions {
    /// Host path of the book file.
    std::string book;
    /// 0 Japanese, 1 English.
    int langMode = 0;
};

/// Opens a book and prints every record the reader delivers, in order, without running it:
/// the current index, then each entry as KEY=VALUE, separated by tabs, in UTF-8.
/// Returns the process exit status.
int RunFetch(const FetchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace talu::cli
