// Skip and auto: the player going on by itself, over pages read before or at the reader's pace.
#include <algorithm>

#include "app/player.h"
#include "host/encoding.h"

namespace talu::app {
namespace {

// Auto's pause at a wait: a second to take the page in, then the pace per character.
constexpr std::int64_t kAutoBaseMs = 1000;
// A pause never runs longer, however long the page.
constexpr std::int64_t kAutoMaxMs = 60000;
// The pause sleeps in steps, so that a click ends it soon.
constexpr std::int64_t kAutoStepMs = 20;

}  // namespace

std::string_view ModeStopName(ModeStop reason) {
    switch (reason) {
        case ModeStop::kChoice:
            return "choice";
        case ModeStop::kUnread:
            return "unread";
        case ModeStop::kBox:
            return "box";
        case ModeStop::kForm:
            return "form";
        case ModeStop::kClick:
            return "click";
        case ModeStop::kEnd:
            return "end";
    }
    return "end";
}

void Player::HurrySpeeds() {
    for (PairedSetting* setting :
         {&settings_.textWait, &settings_.charWait, &settings_.backWait, &settings_.fadeWait,
          &settings_.charEffect, &settings_.textEffect, &settings_.backEffect,
          &settings_.fadeEffect}) {
        setting->current = 0;
    }
}

void Player::RestoreSpeeds() {
    for (PairedSetting* setting :
         {&settings_.textWait, &settings_.charWait, &settings_.backWait, &settings_.fadeWait,
          &settings_.charEffect, &settings_.textEffect, &settings_.backEffect,
          &settings_.fadeEffect}) {
        setting->current = setting->user.load();
    }
}

bool Player::StartMode(ReadingMode mode) {
    if (interpreter_ == nullptr || mode == ReadingMode::kNone || FastForward() || ChoicePending() ||
        FormPending() || TextWindowHidden()) {
        return false;
    }
    if (Mode() == mode) {
        return true;
    }
    StopModeByReader();
    if (mode == ReadingMode::kSkip) {
        HurrySpeeds();
    }
    mode_ = static_cast<int>(mode);
    shell_.ModeChanged(ModeChange{mode, ReadingMode::kNone, ModeStop::kClick});
    if (!WorkerRunning()) {
        // Skip takes the page shown as read and goes on at once; auto gives it its pause.
        autoFromWait_ = mode == ReadingMode::kAuto ? 1 : 0;
        clicks[1] = 1;
        StartWorker();
    }
    return true;
}

void Player::StopMode(ModeStop reason) {
    const auto before = static_cast<ReadingMode>(mode_.exchange(0));
    if (before == ReadingMode::kNone) {
        return;
    }
    if (before == ReadingMode::kSkip && !FastForward()) {
        RestoreSpeeds();
    }
    shell_.ModeChanged(ModeChange{ReadingMode::kNone, before, reason});
}

void Player::StopModeByReader() {
    StopMode(ModeStop::kClick);
    int pausing = 1;
    if (autoPausing_.compare_exchange_strong(pausing, 0)) {
        WaitForWorker();  // it only sees the pause ended, and leaves the book waiting
    }
}

void Player::CountTyped(std::string_view text) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); i += host::CharLength(text, i)) {
        ++count;
    }
    typedChars_ += count;
}

bool Player::StopsAtWait(int kind, const script::TagRecord& record) {
    lastTyped_ = typedChars_.exchange(0);
    if (PassWait()) {
        return false;
    }
    StartWaitIcon(kind, record);
    return !AutoPaused(lastTyped_);
}

bool Player::PassWait() {
    if (FastForward()) {
        return true;
    }
    const script::Book& book = interpreter_->Book();
    if (Mode() == ReadingMode::kSkip) {
        if (settings_.skipUnread.load() != 0 ||
            (readPages_ != nullptr && readPages_->Contains(book.Path(), book.CurrentIndex()))) {
            return true;
        }
        StopMode(ModeStop::kUnread);
    }
    // A page counts as read once it has waited for the reader.
    if (readPages_ != nullptr) {
        readPages_->Record(book.Path(), book.CurrentIndex());
    }
    return false;
}

bool Player::AutoPaused(int typed) {
    if (Mode() != ReadingMode::kAuto) {
        return false;
    }
    const std::int64_t pace = std::clamp(settings_.autoPace.load(), 0, Settings::kMaxAutoPace);
    std::int64_t left = std::min(kAutoBaseMs + pace * typed, kAutoMaxMs);
    autoPausing_ = 1;
    while (left > 0 && Mode() == ReadingMode::kAuto && closing_.load() == 0 &&
           stopRequested_.load() == 0) {
        const std::int64_t step = std::min(left, kAutoStepMs);
        if (!clock_.SleepMs(static_cast<int>(step))) {
            break;
        }
        left -= step;
    }
    int pausing = 1;
    // The reader who ended the pause first has cleared the flag and waits for this worker.
    if (!autoPausing_.compare_exchange_strong(pausing, 0) || left > 0 ||
        Mode() != ReadingMode::kAuto) {
        return false;
    }
    if (listener_ != nullptr) {
        listener_->AutoClicked();
    }
    StopWaitIcon();
    clicks[1] = 1;
    return true;
}

}  // namespace talu::app
