#include "app/page_news.h"

namespace talu::app {

namespace {

/// text without the line breaks around it; empty when it holds nothing but blanks.
std::string_view Trimmed(std::string_view text) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return {};
    }
    text.remove_prefix(text.find_first_not_of("\r\n"));
    text.remove_suffix(text.size() - 1 - text.find_last_not_of("\r\n"));
    return text;
}

}  // namespace

std::string PageNews::Next(const ShownPage& page) {
    std::string_view typed = page.text;
    // The page goes on where the last wait left it; a new page starts afresh (its first text
    // may repeat the old page's only by chance, and a repeat is then taken as nothing new).
    if (!last_.empty() && typed.starts_with(last_)) {
        typed.remove_prefix(last_.size());
    }
    std::string news(Trimmed(typed));
    // The links are shown in the window as text too, and a reader must hear or look up the
    // choices; the same links offered again bring nothing new.
    if (!news.empty() || page.links != lastLinks_) {
        for (const std::string& link : page.links) {
            news += news.empty() ? "" : "\n";
            news += link;
        }
    }
    last_ = page.text;
    lastLinks_ = page.links;
    return news;
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
