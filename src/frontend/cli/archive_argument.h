#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace talu::cli {

/// The member to read when the file a command was given is an archive of books (the one book
/// at its top, or the one wanted names among several); "" for a book file. nullopt, with the
/// reason written to err (listing the books to choose from), when the archive cannot be read,
/// holds no book, or holds several and wanted (UTF-8, as typed) picks none of them.
std::optional<std::string> ArchiveBookArgument(const std::filesystem::path& file,
                                               std::string_view wanted, std::ostream& err);

}  // namespace talu::cli
