#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "interp/script_variables.h"

namespace talu::app {

/// What the debug window's value field shows for what the author typed (CP932): nothing for an
/// empty text, an expression in parentheses as its decimal value, otherwise the variable of that
/// name or "none" when the book never set it. Blanks around the text do not count.
std::optional<std::string> DebugValue(interp::ScriptVariables& variables, std::string_view text);

}  // namespace talu::app
