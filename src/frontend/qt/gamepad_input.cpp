#include "frontend/qt/gamepad_input.h"

#include <QGuiApplication>
#include <algorithm>
#include <iostream>
#include <string_view>

#include "frontend/qt/gamepad_moves.h"
#include "frontend/qt/main_window.h"

namespace talu::qt {
namespace {

// A D-pad direction held repeats after a moment, then steadily, as a held arrow key does.
constexpr int kRepeatDelay = 400;
constexpr int kRepeatEvery = 120;
constexpr int kStartAfter = 200;

bool IsDirection(std::string_view name) {
    return name == "dpup" || name == "dpdown" || name == "dpleft" || name == "dpright";
}

/// What a button means over the menu, a box, the backlog or a form: the D-pad's left and
/// right are always the ways across (into and out of submenus), the rest as bound.
PadMove MoveOf(std::string_view name, std::optional<app::ReaderAction> action) {
    using app::ReaderAction;
    if (name == "dpleft") {
        return PadMove::kLeft;
    }
    if (name == "dpright") {
        return PadMove::kRight;
    }
    switch (action.value_or(ReaderAction::kQuit)) {
        case ReaderAction::kChoicePrevious:
            return PadMove::kUp;
        case ReaderAction::kChoiceNext:
            return PadMove::kDown;
        case ReaderAction::kReadOn:
            return PadMove::kTake;
        case ReaderAction::kMenu:
            return PadMove::kBack;
        case ReaderAction::kBacklog:
            return PadMove::kBacklog;
        default:
            return PadMove::kNone;
    }
}

}  // namespace

GamepadInput::GamepadInput(MainWindow& window, const app::InputBindings& bindings)
    : window_(window), bindings_(bindings) {
    poll_.setInterval(kSlowPoll);
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
    repeat_.setSingleShot(true);
    connect(&repeat_, &QTimer::timeout, this, [this] { Repeat(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                focused_ = state == Qt::ApplicationActive;
                if (!focused_) {
                    LetGoAll();
                }
                Pace();
            });
    // SDL's look for controllers (udev, HID devices) comes after the window's first page.
    QTimer::singleShot(kStartAfter, this, [this] { Start(); });
}

void GamepadInput::Start() {
    pads_ = std::make_unique<host::SdlGamepads>();
    if (!pads_->Ready()) {
        std::cerr << "talu: game controllers cannot be read: " << pads_->Problem() << "\n";
        pads_.reset();
        return;
    }
    poll_.start();
    Pace();
}

std::size_t GamepadInput::Attached() const {
    return pads_ ? pads_->Attached() : 0;
}

GamepadInput::~GamepadInput() = default;

void GamepadInput::Pace() {
    const int interval = Attached() > 0 && focused_ ? kFastPoll : kSlowPoll;
    if (poll_.interval() != interval) {
        poll_.setInterval(interval);
    }
}

void GamepadInput::Poll() {
    for (host::PadButton& button : pads_->Poll()) {
        queue_.push_back(std::move(button));
    }
    // Handled from an event of its own: a press that opens the menu or a box waits in their
    // event loop, where this timer, still in its call, would never fire again.
    if (!queue_.empty() && !handlePosted_) {
        handlePosted_ = true;
        QMetaObject::invokeMethod(
            this, [this] { Handle(); }, Qt::QueuedConnection);
    }
    Pace();
}

void GamepadInput::Handle() {
    handlePosted_ = false;
    while (!queue_.empty()) {
        const host::PadButton button = std::move(queue_.front());
        queue_.pop_front();
        if (button.pressed) {
            Press(button);
        } else {
            LetGo(button);
        }
    }
}

void GamepadInput::Press(const host::PadButton& button) {
    repeat_.stop();
    if (!focused_) {
        return;
    }
    held_.emplace_back(button.controller, button.name);
    if (IsDirection(button.name)) {
        repeating_ = button;
        repeat_.start(kRepeatDelay);
    }
    Act(button.name);
}

void GamepadInput::Act(const std::string& name) {
    const std::optional<app::ReaderAction> action = bindings_.ActionForButton(name);
    if (!MoveOverStage(window_, MoveOf(name, action)) && action) {
        window_.DoAction(*action, true);
    }
}

void GamepadInput::LetGo(const host::PadButton& button) {
    if (repeating_.controller == button.controller && repeating_.name == button.name) {
        repeat_.stop();
    }
    const auto found =
        std::find(held_.begin(), held_.end(), std::pair{button.controller, button.name});
    if (found == held_.end()) {
        return;  // pressed while talu was in the background
    }
    held_.erase(found);
    if (const std::optional<app::ReaderAction> action = bindings_.ActionForButton(button.name)) {
        window_.DoAction(*action, false);
    }
}

void GamepadInput::LetGoAll() {
    repeat_.stop();
    while (!held_.empty()) {
        const auto [controller, name] = held_.back();
        LetGo(host::PadButton{controller, name, false});
    }
}

void GamepadInput::Repeat() {
    repeat_.start(kRepeatEvery);
    Act(repeating_.name);
}

}  // namespace talu::qt
