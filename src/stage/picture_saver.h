#pragma once

#include <string>
#include <string_view>

#include "stage/surface.h"

namespace talu::stage {

/// File formats of saved pictures; the values are the old ones.
enum class PictureFileFormat { kBmp = 0, kJpeg = 1 };

/// A size that is not given (the surface's own, or one kept in proportion, is used).
inline constexpr int kSizeNotGiven = -10000;

/// Where and how SavePicture writes.
struct SaveRequest {
    /// Width and height in pixels, or kSizeNotGiven.
    int width = kSizeNotGiven;
    int height = kSizeNotGiven;
    /// Inside folder (may be empty).
    std::string folder;
    /// File name or inside path (may be empty when folder is given).
    std::string fileName;
    PictureFileFormat format = PictureFileFormat::kBmp;
    /// JPEG quality 0..100 (the setting m_nJpeg), passed to the library unchanged.
    int jpegQuality = 75;
    /// Inside folder of the open book, against which relative paths resolve.
    std::string bookFolder;
};

/// The inside path SavePicture writes to: the file name alone without a folder; the folder
/// directly followed by the source's file title and ".JPG" or ".BMP" without a file name; else
/// the two joined.
std::string SavedPictureName(std::string_view sourceName, const SaveRequest& request);

/// Writes surface (a picture loaded from sourceName) as a 24-bit BMP or a JPEG file, scaled by
/// nearest neighbour when the request's size differs from the surface's. An existing file is
/// replaced. False, with no file left behind, when nothing could be written.
bool SavePicture(const Surface& surface, std::string_view sourceName, const SaveRequest& request);

}  // namespace talu::stage
