#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Archives (LZH/LHA, ZIP, 7z, CAB, tar) read through libarchive. Books keep their pictures in
// them, sometimes an archive inside an archive, so every operation reads either a host file or
// a block of memory that holds a whole archive.
namespace talu::host {

/// Where an archive's bytes come from: a host file, or memory the caller keeps alive for the
/// duration of the call.
class ArchiveSource {
  public:
    /// An archive stored in a host file.
    static ArchiveSource FromFile(std::filesystem::path file);
    /// An archive held whole in memory; the bytes are borrowed, not copied.
    static ArchiveSource FromMemory(std::span<const std::uint8_t> bytes);

    bool IsFile() const { return !file_.empty(); }
    const std::filesystem::path& File() const { return file_; }
    std::span<const std::uint8_t> Memory() const { return memory_; }

  private:
    std::filesystem::path file_;
    std::span<const std::uint8_t> memory_;
};

/// One regular file stored in an archive (folders are not listed).
struct ArchiveEntry {
    /// The stored path as raw bytes (CP932 in archives made on Japanese Windows), with every
    /// "/" turned into "\" as the old archive plug-ins reported it.
    std::string path;
    /// Position among all entries of the archive; ReadArchiveEntry finds the entry by it.
    int index = 0;
    /// Size once extracted, in bytes; -1 when the archive does not say.
    std::int64_t size = -1;
    /// Modification time in seconds since 1970, 0 when unknown.
    std::int64_t modified = 0;
    /// Where the member's headers start in an uncompressed tar or LHA file, so that it can be
    /// read without walking every member before it; -1 otherwise.
    std::int64_t headerOffset = -1;
};

/// True when the first bytes of a file carry the signature of an archive format we read.
bool LooksLikeArchive(std::span<const std::uint8_t> head);

/// The regular files of an archive in stored order; nullopt when it cannot be read as one.
std::optional<std::vector<ArchiveEntry>> ListArchive(const ArchiveSource& source);

/// The extracted bytes of the entry at index; nullopt when the entry is missing, damaged, or
/// would grow beyond maxBytes.
std::optional<std::vector<std::uint8_t>> ReadArchiveEntry(const ArchiveSource& source, int index,
                                                          std::size_t maxBytes);

/// As ReadArchiveEntry for a listed member, reading it straight from its header where the
/// listing found one, and by its index when the header there is not the member's.
std::optional<std::vector<std::uint8_t>> ReadArchiveMember(const ArchiveSource& source,
                                                           const ArchiveEntry& member,
                                                           std::size_t maxBytes);

}  // namespace talu::host
