#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

// Saved pictures and stage snapshots may be written as JPEG, through libjpeg.
namespace talu::host {

/// A picture to compress: rows of 3 samples per pixel in red, green, blue order.
struct JpegImage {
    int width = 0;
    int height = 0;
    /// Bytes from one stored row to the next (at least width x 3).
    int stride = 0;
    /// Rows stored bottom-up, as in a device-independent bitmap.
    bool bottomUp = true;
    /// stride x height bytes; borrowed for the call.
    std::span<const std::uint8_t> rows;
};

/// Writes a baseline JPEG file at quality 0-100 (passed to the library unchanged). False, with
/// no file left behind, when the file cannot be created or the library reports an error.
bool WriteJpeg(const std::filesystem::path& file, const JpegImage& image, int quality);

}  // namespace talu::host
