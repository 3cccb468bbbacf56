#include "app/feed_message.h"

namespace talu::app {

std::string FeedMessage(const ShownPage& page) {
    if (page.text.find_first_not_of(" \t\r\n") == std::string::npos) {
        return {};
    }
    return page.text;
}

std::string FeedLine(std::string_view message) {
    std::string line;
    line.reserve(message.size() + 8);
    for (const char c : message) {
        if (c == '\\') {
            line += "\\\\";
        } else if (c == '\n') {
            line += "\\n";
        } else if (c != '\r') {
            line += c;
        }
    }
    return line;
}

}  // namespace talu::app
