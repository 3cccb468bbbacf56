#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Book text stays in code page 932 (Shift-JIS) bytes inside the engine; these helpers step over
// its double-byte characters and convert where text meets the host (screen, fonts, file names).
namespace talu::host {

/// True for a Shift-JIS lead byte (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

/// True for a byte that may follow a lead byte (0x40-0x7E, 0x80-0xFC).
constexpr bool IsTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

/// Byte length of the character at pos: 2 for a lead byte with a byte after it, else 1.
/// A lead byte at the very end counts as one byte, so stepping always terminates.
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    return (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
}

/// Converts CP932 text to UTF-8. Bytes that are not valid CP932 become U+FFFD, one per
/// character (a lead byte and its trail byte give one replacement), so nothing is dropped.
std::string Cp932ToUtf8(std::string_view cp932);

/// Converts UTF-8 text to CP932. Characters CP932 cannot hold, and bytes that are not valid
/// UTF-8, become "?".
std::string Utf8ToCp932(std::string_view utf8);

/// Exact conversions for file names: nullopt when any byte or character cannot be converted.
std::optional<std::string> Cp932ToUtf8Exact(std::string_view cp932);
std::optional<std::string> Utf8ToCp932Exact(std::string_view utf8);

}  // namespace talu::host
