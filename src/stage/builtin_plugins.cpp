#include "stage/builtin_plugins.h"

#include "host/image/sdl_image_codec.h"
#include "stage/bmp_reader.h"
#include "stage/extension_map.h"

namespace talu::stage {

bool ImageDecoderPlugin::IsSupported(std::string_view name,
                                     std::span<const uint8_t> /*head*/) const {
    std::optional<std::string> extension = ExtensionOf(name);
    return extension && host::CanDecodeExtension(*extension);
}

std::optional<Bitmap> ImageDecoderPlugin::GetPicture(std::span<const uint8_t> file,
                                                     std::string_view extension) const {
    std::optional<host::DecodedImage> decoded =
        host::DecodeImage(file, {.extension = extension, .maxSide = kMaxBmpSide});
    if (!decoded) {
        return std::nullopt;
    }
    Bitmap bitmap;
    bitmap.width = decoded->width;
    bitmap.height = decoded->height;
    bitmap.bitCount = 24;
    bitmap.bits = std::move(decoded->rows);
    return bitmap;
}

bool ArchivePlugin::IsSupported(std::string_view /*name*/, std::span<const uint8_t> head) const {
    return host::LooksLikeArchive(head);
}

std::optional<std::vector<host::ArchiveEntry>> ArchivePlugin::GetArchiveInfo(
    const host::ArchiveSource& archive) const {
    return host::ListArchive(archive);
}

std::optional<std::vector<uint8_t>> ArchivePlugin::GetFile(const host::ArchiveSource& archive,
                                                           const host::ArchiveEntry& member) const {
    return host::ReadArchiveMember(archive, member, maxMemberBytes_);
}

}  // namespace talu::stage
