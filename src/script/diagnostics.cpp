#include "script/diagnostics.h"

#include "script/messages.h"

namespace talu::script {

std::string Diagnostics::SyntaxErrorText(std::string_view itemText,
                                         std::string_view message) const {
    std::string text = PlayerMessage(LangMode(), msg::kSyntaxErrorTitle);
    text.append(itemText);
    text.append("\n\n");
    text.append(message);
    return text;
}

void Diagnostics::ReportSyntaxError(std::string_view itemText, std::string_view message) {
    host_.ShowMessageBox(SyntaxErrorText(itemText, message));
}

void Diagnostics::ReportScriptError(std::string_view itemText, int code,
                                    std::string_view argument) {
    std::string message;
    FormatScriptError(LangMode(), code, message, argument);
    ReportSyntaxError(itemText, message);
}

}  // namespace talu::script
