#pragma once

#include "stage/plugin.h"

namespace talu::stage {

/// The library name the built-in image decoder answers to.
inline constexpr std::string_view kBuiltInImageLibrary = "SDL2_IMAGE";

/// The built-in image decoder: every format SDL2_image reads on this host, by extension.
class ImageDecoderPlugin : public Plugin {
  public:
    PluginKind GetKind() const override { return PluginKind::kImageDecoder; }
    const std::string& FileName() const override { return name_; }
    /// True when the extension of name is a format this host decodes; head is not needed.
    bool IsSupported(std::string_view name, std::span<const uint8_t> head) const override;
    /// Decodes into a 24-bit bitmap; nullopt for unreadable or absurdly large pictures.
    std::optional<Bitmap> GetPicture(std::span<const uint8_t> file,
                                     std::string_view extension) const override;

  private:
    std::string name_{kBuiltInImageLibrary};
};

/// The built-in archive extractor over libarchive (LZH/LHA, ZIP, 7z, CAB, tar).
class ArchivePlugin : public Plugin {
  public:
    /// Members that would extract to more than maxMemberBytes are refused.
    explicit ArchivePlugin(std::size_t maxMemberBytes = kDefaultMaxMemberBytes)
        : maxMemberBytes_(maxMemberBytes) {}

    /// 256 MiB: far beyond any picture or book, small enough to refuse archive bombs.
    static constexpr std::size_t kDefaultMaxMemberBytes = std::size_t{256} << 20;

    PluginKind GetKind() const override { return PluginKind::kArchiveExtractor; }
    const std::string& FileName() const override { return name_; }
    /// True when head carries an archive signature; the name is not needed.
    bool IsSupported(std::string_view name, std::span<const uint8_t> head) const override;
    std::optional<std::vector<host::ArchiveEntry>> GetArchiveInfo(
        const host::ArchiveSource& archive) const override;
    std::optional<std::vector<uint8_t>> GetFile(const host::ArchiveSource& archive,
                                                const host::ArchiveEntry& member) const override;

  private:
    std::string name_ = "LIBARCHIVE";
    std::size_t maxMemberBytes_;
};

}  // namespace talu::stage
