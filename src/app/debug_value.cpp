#include "app/debug_value.h"

namespace talu::app {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::optional<std::string> DebugValue(interp::ScriptVariables& variables, std::string_view text) {
    text = Trim(text);
    if (text.empty()) {
        return std::nullopt;
    }
    if (text.front() == '(') {
        return std::to_string(variables.Evaluate(text));
    }
    std::string value;
    return variables.Variables().Lookup(text, value) ? value : std::string("none");
}

}  // namespace talu::app
