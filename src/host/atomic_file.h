#pragma once

#include <filesystem>
#include <string_view>

namespace talu::host {

/// Replaces a file's contents all at once: the bytes go to a temporary file beside it, which is
/// synced and renamed into place, so a crash never leaves half a file. False when the folder
/// cannot be written (the old file, if any, is then untouched).
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace talu::host
