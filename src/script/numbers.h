#pragma once

#include <string_view>

// Attribute values are text; numbers are read from their start and the rest is ignored.
// Digit strings beyond the int range saturate at its limits instead of overflowing.
namespace talu::script {

/// Leading decimal digits only (no sign, no white space); 0 when the text starts otherwise.
int ParseDigits(std::string_view text);

/// One optional "-" or "+", then leading decimal digits; 0 when there are none.
int ParseSignedDigits(std::string_view text);

}  // namespace talu::script
