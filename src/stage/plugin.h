#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/archive/archive_reader.h"
#include "stage/bitmap.h"

// Pictures other than BMP and archive members were read by plug-in libraries beside the
// player. Ours are built in, behind the interface the player always called them through.
namespace talu::stage {

/// What a plug-in does; the values are the old kinds.
enum class PluginKind {
    kUnloaded = -1,
    kImageDecoder = 0,
    /// A kind the player refused to use.
    kRefused = 1,
    kArchiveExtractor = 2,
};

/// The first bytes of a file that IsSupported looks at.
inline constexpr std::size_t kSupportHeadBytes = 2176;

/// One plug-in. Calls its kind does not allow answer nullopt without doing anything.
class Plugin {
  public:
    virtual ~Plugin() = default;

    /// What the plug-in does.
    virtual PluginKind GetKind() const = 0;
    /// The library file name that PLUGIN tags name it by (upper case).
    virtual const std::string& FileName() const = 0;
    /// True when the plug-in handles the file with this name (CP932) whose first bytes
    /// (kSupportHeadBytes, zero-padded) are head.
    virtual bool IsSupported(std::string_view name, std::span<const uint8_t> head) const = 0;

    /// Image decoders: the picture in a whole file held in memory; extension (upper case, no
    /// dot) helps formats without a signature.
    virtual std::optional<Bitmap> GetPicture(std::span<const uint8_t> /*file*/,
                                             std::string_view /*extension*/) const {
        return std::nullopt;
    }
    /// Archive extractors: the archive's member list.
    virtual std::optional<std::vector<host::ArchiveEntry>> GetArchiveInfo(
        const host::ArchiveSource& /*archive*/) const {
        return std::nullopt;
    }
    /// Archive extractors: the bytes of one listed member.
    virtual std::optional<std::vector<uint8_t>> GetFile(
        const host::ArchiveSource& /*archive*/, const host::ArchiveEntry& /*member*/) const {
        return std::nullopt;
    }
};

}  // namespace talu::stage
