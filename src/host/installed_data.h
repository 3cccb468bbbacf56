#pragma once

#include <filesystem>
#include <optional>

// What is installed with the program: the demo book and the documents live in a data folder at a
// fixed place relative to the program (<prefix>/share/talu beside <prefix>/bin), so a package
// unpacked under any root finds its own.
namespace talu::host {

/// The data folder installed with the running program, when it exists (a program run from the
/// build tree has none).
std::optional<std::filesystem::path> InstalledDataFolder();

/// The demo book in that folder, when it is a regular file.
std::optional<std::filesystem::path> InstalledDemoBook();

}  // namespace talu::host
