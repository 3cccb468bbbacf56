#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "host/archive/archive_reader.h"
#include "stage/plugin_list.h"

// Book files name archive members as if archives were folders: "data.lzh\img\face.bmp", and
// "outer.lzh\inner.lzh\face.bmp" for an archive inside an archive.
namespace talu::stage {

/// A file opened for reading: its whole contents, and the member's record when it came out of
/// an archive.
struct OpenedFile {
    std::vector<uint8_t> bytes;
    std::optional<host::ArchiveEntry> member;
};

/// Plain files larger than this are refused like unreadable ones.
inline constexpr std::uintmax_t kMaxOpenFileBytes = std::uintmax_t{256} << 20;

/// Opens the plain file an inside path names or, failing that, the archive member it names:
/// the shortest prefix of the path that is a file is the archive, the rest the member path.
/// Relative paths resolve against bookFolder. nullopt when neither exists.
std::optional<OpenedFile> OpenPossiblyArchived(std::string_view insidePath,
                                               std::string_view bookFolder,
                                               const PluginList& plugins);

/// The member memberPath of one archive, asking every archive extractor that supports it, head
/// first, and descending into member archives where the path goes on behind a member's name.
/// Names compare ignoring ASCII case, with "\" and "/" alike. head: the archive's first
/// kSupportHeadBytes bytes, zero-padded.
std::optional<OpenedFile> FindArchiveMember(const PluginList& plugins, std::string_view archiveName,
                                            const host::ArchiveSource& archive,
                                            std::span<const uint8_t> head,
                                            std::string_view memberPath);

}  // namespace talu::stage
