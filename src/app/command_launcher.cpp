#include "app/command_launcher.h"

#include "script/messages.h"
#include "script/sjis_text.h"

namespace talu::app {
namespace {

bool IsWebAddress(const std::string& src) {
    const std::string upper = script::ToUpperAscii(src.substr(0, 8));
    return upper.starts_with("HTTP://") || upper.starts_with("HTTPS://");
}

}  // namespace

void CommandLauncher::Run(const std::string& src, const std::string& folder, bool allowed,
                          int langMode) {
    if (!allowed || src.empty()) {
        return;
    }
    if (IsWebAddress(src)) {
        shell_.OpenWebAddress(src);  // a browser shows the address; nothing runs unasked
        return;
    }
    const std::size_t blank = src.find(' ');
    const std::string program = src.substr(0, blank);
    const std::string parameters = blank == std::string::npos ? "" : src.substr(blank + 1);
    if (program.empty()) {
        return;
    }
    if (!agreed_.contains(src)) {
        if (!ask_(script::CommandQuestion(langMode, src))) {
            return;  // declined: asked again the next time the book tries
        }
        agreed_.insert(src);
    }
    shell_.StartProgram(program, parameters, folder);
}

}  // namespace talu::app
