#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Searches and case folding on CP932 text. Every search steps over double-byte characters as
// units, so a trail byte that happens to equal an ASCII character is never matched.
namespace talu::script {

constexpr std::size_t npos = std::string_view::npos;

/// Position of the first byte c at a character boundary at or after from, or npos.
std::size_t FindChar(std::string_view text, char c, std::size_t from = 0);

/// Position of the first occurrence of needle starting at a character boundary, or npos.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0);

/// Number of characters equal to the single byte c.
std::size_t CountChar(std::string_view text, char c);

/// Lower-cases ASCII letters only; double-byte characters are left as they are.
std::string ToLowerAscii(std::string_view text);

/// Upper-cases ASCII letters only; double-byte characters are left as they are.
std::string ToUpperAscii(std::string_view text);

/// True for blank, tab, CR, LF, vertical tab and form feed.
constexpr bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

/// The text without white space at either end.
std::string_view Trim(std::string_view text);

/// Every tab becomes a blank, then white space is trimmed at both ends.
std::string Normalize(std::string_view text);

/// Normalize in place, without reallocating.
void NormalizeInPlace(std::string& text);

}  // namespace talu::script
