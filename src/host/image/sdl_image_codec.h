#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The picture formats other than BMP (PNG, JPEG, GIF, TGA, PCX, TIFF, WEBP, ...) are read with
// SDL2_image, standing in for the old image-decoder plug-ins; tools write PNG through it too.
namespace talu::host {

/// A decoded picture in device-independent bitmap layout: rows bottom-up, each padded to a
/// multiple of 4 bytes, pixels as blue, green, red (and alpha for 32 bits).
struct DecodedImage {
    int width = 0;
    int height = 0;
    /// 24 or 32.
    int bitsPerPixel = 24;
    /// Bytes per stored row.
    int stride = 0;
    std::vector<std::uint8_t> rows;
};

/// The most pixels a picture may have: a few small compressed bytes may declare gigabytes of
/// pixels, which the decoder and the copies after it would hold several times over. 8192 x 4096
/// is far beyond any stage.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 25;

/// How DecodeImage reads a file.
struct DecodeOptions {
    /// The file's extension in upper case without the dot ("TGA"): the decoder for bytes whose
    /// header is not PNG, GIF or JPEG; without it only those three are read.
    std::string_view extension;
    /// 32-bit rows with alpha instead of 24-bit rows.
    bool keepAlpha = false;
    /// Pictures larger than this on either side, or of more pixels than maxPixels, are refused
    /// before their pixels are decoded where the format's header tells the size early (PNG,
    /// JPEG, GIF), and after decoding otherwise.
    int maxSide = 16384;
    std::uint64_t maxPixels = kMaxPicturePixels;
};

/// Decodes a whole picture file held in memory; nullopt when no decoder reads it, when it is
/// too large, or when memory runs out.
std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes,
                                        const DecodeOptions& options);

/// True when a decoder for files with this upper-case extension is available on this host.
bool CanDecodeExtension(std::string_view extension);

/// A picture for WritePng: rows top-down, 4 bytes per pixel (red, green, blue, alpha).
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

/// Writes a PNG file (replacing an existing one); false when it cannot be written.
bool WritePng(const std::filesystem::path& file, const RgbaImage& image);

/// The bytes of a PNG file of image, for writers that put files in place themselves; nullopt
/// when the image cannot be encoded.
std::optional<std::string> EncodePng(const RgbaImage& image);

}  // namespace talu::host
