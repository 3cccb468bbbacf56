#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "host/image/sdl_image_codec.h"

// Cursor files for the CURSOR tag, read from a book's folder and so treated as hostile: bytes in,
// pictures out, every size checked before it is used.
namespace talu::stage {

/// Larger cursor files are refused unread.
inline constexpr std::size_t kMaxCursorFileBytes = std::size_t{4} << 20;
/// The most pictures, and the most steps, an animated cursor may have.
inline constexpr std::size_t kMaxCursorFrames = 256;
/// The longest a step of an animated cursor shows: a minute.
inline constexpr int kMaxCursorStepMs = 60'000;

/// One picture of a mouse cursor with its hot spot and how long it shows (0: for ever).
struct CursorImage {
    host::RgbaImage image;
    int hotX = 0;
    int hotY = 0;
    int durationMs = 0;
};

/// Reads a cursor: a Windows cursor or icon (.cur, .ico), an animated cursor (.ani, each step
/// with its rate), or a picture that LooksLikePicture and the decoders read (hot spot at the top
/// left, at most kMaxIconSide on a side). nullopt when nothing usable is in it.
std::optional<std::vector<CursorImage>> ReadCursorData(std::span<const uint8_t> bytes);

/// ReadCursorData of a regular file of at most kMaxCursorFileBytes.
std::optional<std::vector<CursorImage>> LoadCursorFile(const std::filesystem::path& file);

}  // namespace talu::stage
