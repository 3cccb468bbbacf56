#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/archive/archive_reader.h"

// Readers download books packed in archives (.lzh, .zip, .7z); the player opens the book inside
// without unpacking it, reading the book and its files as archive members.
namespace talu::app {

/// The books an archive offers a reader.
struct ArchiveBooks {
    /// False when the file cannot be read as an archive at all.
    bool readable = false;
    /// Member paths of the books (CP932, "\" between folders), in stored order.
    std::vector<std::string> books;
};

/// True when a host file is to be opened as an archive of books rather than as a book: it
/// carries an archive's signature and its name does not end in ".talu".
bool IsBookArchive(const std::filesystem::path& file);

/// The ".talu" members at the archive's top or, when the top holds none, directly inside its
/// one top folder. Members whose names could lead out of the archive's folder (absolute, a
/// drive, "." or "..") are never offered.
std::vector<std::string> BooksAmongMembers(const std::vector<host::ArchiveEntry>& members);

/// Lists the archive at a host path and finds its books.
ArchiveBooks FindArchiveBooks(const std::filesystem::path& archive);

/// The inside path by which the book reader opens member of the archive at a host path.
std::string ArchiveMemberInsidePath(const std::filesystem::path& archive, std::string_view member);

/// The book of found that wanted names (CP932; ASCII case ignored, "/" and "\" alike), or its
/// file name alone when that is unique; nullopt when none matches.
std::optional<std::string> PickArchiveBook(const ArchiveBooks& found, std::string_view wanted);

}  // namespace talu::app
