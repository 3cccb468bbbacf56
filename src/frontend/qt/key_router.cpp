#include "frontend/qt/key_router.h"

#include <algorithm>

#include "frontend/qt/key_text.h"

namespace talu::qt {
namespace {

// Long enough that the modifier of Ctrl+S is never taken for Ctrl held alone.
constexpr int kHoldDelayMs = 250;

}  // namespace

KeyRouter::KeyRouter(Window window) : window_(std::move(window)) {
    holdDelay_.setSingleShot(true);
    holdDelay_.setInterval(kHoldDelayMs);
    QObject::connect(&holdDelay_, &QTimer::timeout, [this] {
        if (holdModifier_) {
            window_.act(holdModifier_->action, true);
        }
    });
}

bool KeyRouter::Press(const QKeyEvent& event) {
    const std::string text = KeyText(event);
    const std::optional<app::ReaderAction> action =
        text.empty() ? std::nullopt : window_.bindings().ActionForKey(text);
    if (IsModifierKey(event.key())) {
        return PressModifier(event, action);
    }
    holdDelay_.stop();  // the modifier goes with this key: it is no longer alone
    aloneModifier_.reset();
    if (!action) {
        window_.unbound();
        return false;
    }
    if (event.isAutoRepeat() && !app::Repeats(*action)) {
        return true;
    }
    if (app::IsHeld(*action)) {
        held_.push_back({event.key(), *action});
    }
    window_.act(*action, true);
    return true;
}

bool KeyRouter::PressModifier(const QKeyEvent& event, std::optional<app::ReaderAction> action) {
    aloneModifier_.reset();
    if (event.isAutoRepeat()) {
        return action.has_value();
    }
    holdDelay_.stop();
    if (!action) {
        window_.unbound();
        return false;
    }
    if (app::IsHeld(*action)) {
        holdModifier_ = Down{event.key(), *action};
        holdDelay_.start();
    } else {
        aloneModifier_ = Down{event.key(), *action};
    }
    return true;
}

bool KeyRouter::Release(const QKeyEvent& event) {
    if (event.isAutoRepeat()) {
        return false;
    }
    const int key = event.key();
    if (holdModifier_ && holdModifier_->key == key) {
        holdDelay_.stop();
        const app::ReaderAction action = holdModifier_->action;
        holdModifier_.reset();
        window_.act(action, false);
        return true;
    }
    if (aloneModifier_ && aloneModifier_->key == key) {
        const app::ReaderAction action = aloneModifier_->action;
        aloneModifier_.reset();
        window_.act(action, true);
        return true;
    }
    const auto down =
        std::find_if(held_.begin(), held_.end(), [key](const Down& d) { return d.key == key; });
    if (down == held_.end()) {
        return false;
    }
    const app::ReaderAction action = down->action;
    held_.erase(down);
    window_.act(action, false);
    return true;
}

void KeyRouter::LetGo() {
    holdDelay_.stop();
    aloneModifier_.reset();
    std::vector<Down> ending = std::move(held_);
    held_.clear();
    if (holdModifier_) {
        ending.push_back(*holdModifier_);
        holdModifier_.reset();
    }
    for (const Down& down : ending) {
        window_.act(down.action, false);
    }
}

}  // namespace talu::qt
