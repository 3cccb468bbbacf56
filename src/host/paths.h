#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Books speak Windows paths ("Z:\home\u\book\img\bg.bmp", "..\common\x.bmp"). The engine keeps
// that form, in CP932 bytes; the host root is drive Z:. These functions cross between the two.
namespace talu::host {

/// The inside form of an absolute host path: "Z:" then every component after a backslash.
/// Components are converted to CP932 where they can be, and kept as raw bytes otherwise.
std::string InsidePathFromHost(const std::filesystem::path& hostAbsolute);

/// The host path of an absolute inside path on drive Z:, component by component as
/// InsidePathFromHost makes them, whether or not it exists; a closing backslash stays a closing
/// slash. nullopt for relative paths and paths on other drives, which have no host form.
std::optional<std::filesystem::path> HostPathFromInside(std::string_view inside);

/// Options for turning an inside path into a host path.
struct HostPathOptions {
    /// Inside folder of the open book ("Z:\...\"), against which relative paths and paths on
    /// drives other than Z: are resolved. Empty when no book is open.
    std::string_view bookFolder;
};

/// Finds the existing host file or folder that an inside path names. Each component is matched
/// case-insensitively, first as UTF-8 converted from CP932, then as raw bytes; "." and ".." are
/// followed. A path on another drive resolves against the book folder by its last components
/// (longest first). nullopt when nothing matches.
std::optional<std::filesystem::path> FindHostPath(std::string_view inside,
                                                  const HostPathOptions& options);

/// The host path at which a file named by an inside path is to be created or replaced: its
/// folder must exist (matched as FindHostPath does); an existing file of that name in any case
/// is the one replaced. nullopt when the folder does not exist.
std::optional<std::filesystem::path> HostPathForWriting(std::string_view inside,
                                                        const HostPathOptions& options);

/// The inside form of the folder holding the running executable, ending with a backslash.
std::string ProgramFolder();

/// The inside form of the reader's own data folder for this player, ending with a backslash:
/// $XDG_DATA_HOME/Velmor/talu (when that is an absolute path), else
/// $HOME/.local/share/Velmor/talu, the folder the window's toolkit picks too; the program's
/// folder when neither is known.
std::string ReaderDataFolder();

}  // namespace talu::host
