#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

// Whether a file is a picture, told by its first bytes alone: what SNAP may write over.
namespace talu::stage {

/// Bytes LooksLikePicture needs at most.
inline constexpr std::size_t kPictureHeadBytes = 18;

/// The kinds of picture file told by their first bytes.
enum class PictureKind { kNone, kBmp, kJpeg, kPng, kGif, kTiff, kWebp };

/// The kind head starts as: a BMP with a known information header size, or a JPEG, PNG, GIF,
/// TIFF or WEBP signature; kNone for anything else.
PictureKind PictureKindOf(std::span<const uint8_t> head);

/// True when head starts as a picture file does (PictureKindOf is not kNone).
inline bool LooksLikePicture(std::span<const uint8_t> head) {
    return PictureKindOf(head) != PictureKind::kNone;
}

/// LooksLikePicture of the first bytes of a file; false when it cannot be read.
bool FileLooksLikePicture(const std::filesystem::path& file);

}  // namespace talu::stage
