#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace talu::host {

/// Replaces a file's contents all at once: the bytes go to a temporary file beside it, which is
/// synced and renamed into place, so a crash never leaves half a file. False when the folder
/// cannot be written or the name is taken by something other than a file (a folder, a device,
/// a pipe); the old file or other thing is then untouched. A symbolic link of that name is
/// replaced itself, never written through.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

/// True when WriteFileAtomically may replace what path names: nothing, a regular file or a
/// symbolic link.
bool IsReplaceable(const std::filesystem::path& path);

/// One file of a batch: where it goes and its whole new contents.
struct FileContents {
    std::filesystem::path path;
    std::string_view bytes;
};

/// Replaces several files that belong together: every file is written and synced beside its
/// target first, and only when all of them are safely on disk are they renamed into place, in
/// the order given (put the most precious last). False when any of them could not be written or
/// renamed; then every target is as it was: those already replaced are put back from a second
/// link (or a copy) kept of each until the batch is through.
bool WriteFilesAtomically(std::span<const FileContents> files);

}  // namespace talu::host
