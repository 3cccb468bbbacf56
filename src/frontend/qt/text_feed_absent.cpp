// The text feed of a build made without Qt WebSockets: it cannot start, and says why.
#include "frontend/qt/text_feed.h"

#include "frontend/qt/ui_text.h"

namespace talu::qt {

struct TextFeed::Server {};

TextFeed::TextFeed() = default;

TextFeed::~TextFeed() = default;

bool TextFeed::Start(int, int langMode, QString& problem) {
    problem = Pick(
        langMode, "この talu はテキスト配信なしで作られました (Qt WebSockets がありませんでした)。",
        "This build of talu has no text feed (Qt WebSockets was missing when it was "
        "built).");
    return false;
}

void TextFeed::Stop() {}

bool TextFeed::Listening() const {
    return false;
}

int TextFeed::Port() const {
    return 0;
}

void TextFeed::Send(const QString&) {}

}  // namespace talu::qt
