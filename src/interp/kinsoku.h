#pragma once

#include <string_view>

// Japanese line breaking: closing brackets and punctuation may not begin a line. Such a character
// that meets the right margin is drawn hanging past it and the line breaks after it instead.
namespace talu::interp {

/// True when character (exactly one CP932 character of one or two bytes) may not begin a line.
/// Whole characters are compared, so a trail byte equal to ")" or "!" never matches.
bool IsKinsoku(std::string_view character);

}  // namespace talu::interp
