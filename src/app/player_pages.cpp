// The page as the reader sees it once typed: for the backlog, and for what reads along.
#include "app/player.h"
#include "host/encoding.h"

namespace talu::app {

ShownPage Player::CurrentPage() const {
    ShownPage page;
    page.text = host::Cp932ToUtf8(interpreter_->Window().PageText());
    const interp::LinkSet& links = interpreter_->Links();
    for (int i = 0; i < links.Count(); ++i) {
        if (links.Enabled(i)) {
            page.links.push_back(host::Cp932ToUtf8(links.Text(i)));
        }
    }
    return page;
}

void Player::ShowPage(bool waits) {
    const ShownPage page = CurrentPage();
    if (pageShown_) {
        pageShown_(page);
    }
    if (waits) {
        shell_.PageShown(page);
    }
}

}  // namespace talu::app
