#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

// Files a book's folder may hold (memos, bookmark slots and their pictures, settings) can be
// anything a hostile or broken folder puts there: a pipe that never answers, a link to a device
// that never ends, a file of gigabytes. Every such read goes through here.
namespace talu::host {

/// Why a read gave no bytes.
enum class ReadRefusal {
    kMissing,     // nothing of that name
    kNotRegular,  // a folder, pipe, device, socket or symbolic link
    kTooLarge,    // more than the cap allows
    kUnreadable,  // no permission, or a read error
};

/// What a symbolic link as the last component means: refused (the files a book's folder holds),
/// or followed (a file the reader named on the command line).
enum class LastLink { kRefuse, kFollow };

/// The whole contents of a regular file of at most maxBytes, or why not. The file is opened
/// without blocking, so a pipe or device is refused at once instead of read.
struct RegularFileRead {
    std::optional<std::string> bytes;
    ReadRefusal refusal = ReadRefusal::kMissing;
};
RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                                LastLink link = LastLink::kRefuse);

}  // namespace talu::host
