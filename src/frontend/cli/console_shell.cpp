#include "frontend/cli/console_shell.h"

#include "host/encoding.h"

namespace talu::cli {

std::string OneLineUtf8(std::string_view cp932) {
    std::string utf8 = host::Cp932ToUtf8(cp932);
    std::string line;
    line.reserve(utf8.size());
    for (char c : utf8) {
        if (c == '\n') {
            line += "\\n";
        } else if (c != '\r') {
            line += c;
        }
    }
    return line;
}

void ConsoleMessageBoxes::ShowMessageBox(std::string_view text) {
    out_ << "box " << OneLineUtf8(text) << '\n';
}

}  // namespace talu::cli
