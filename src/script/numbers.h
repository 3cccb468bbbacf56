#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

// Attribute values are text; numbers are read from their start and the rest is ignored.
// Digit strings beyond the int range saturate at its limits instead of overflowing.
namespace talu::script {

/// Leading decimal digits only (no sign, no white space); 0 when the text starts otherwise.
int ParseDigits(std::string_view text);

/// One optional "-" or "+", then leading decimal digits; 0 when there are none.
int ParseSignedDigits(std::string_view text);

/// An upper-case hexadecimal digit's value; -1 for any other character.
constexpr int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

/// value held at the int limits. Book values reach positions and sizes unchecked, so their
/// arithmetic runs wide and comes back through here instead of overflowing.
constexpr int ClampToInt(std::int64_t value) {
    if (value > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (value < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

/// a + b held at the int limits instead of overflowing.
constexpr int SaturatingAdd(int a, int b) {
    return ClampToInt(std::int64_t{a} + b);
}

}  // namespace talu::script
