#include "frontend/cli/text_feed_file.h"

namespace talu::cli {

bool TextFeedFile::Open(const std::string& path) {
    out_.open(path, std::ios::binary | std::ios::trunc);
    return out_.is_open();
}

void TextFeedFile::Page(const app::ShownPage& page) {
    const std::string message = news_.Next(page);
    if (!message.empty()) {
        out_ << app::FeedLine(message) << '\n';
    }
}

bool TextFeedFile::Close() {
    out_.close();
    return !out_.fail();
}

}  // namespace talu::cli
