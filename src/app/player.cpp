#include "app/player.h"

#include <utility>

#include "host/encoding.h"
#include "host/thread_state.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/numbers.h"
#include "script/sjis_text.h"

namespace talu::app {
namespace {

namespace kw = script::kw;
namespace step = interp::step;

constexpr int kDefaultLoop = 100000;

// TIMER's TIME: "mm:ss", "mm:ss:ff" (ff in 16 ms units) or plain milliseconds.
std::int64_t TimerMs(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (text.size() >= 3 && text[2] == ':') {
        const std::int64_t minutes = script::ParseDigits(text);
        if (text.size() == 5) {
            return (script::ParseDigits(text.substr(3)) + minutes * 60) * 1000;
        }
        if (text.size() == 8) {
            return (script::ParseDigits(text.substr(3)) + minutes * 60) * 1000 +
                   std::int64_t{script::ParseDigits(text.substr(6))} * 16;
        }
        return 0;
    }
    return script::ParseDigits(text);
}

bool IsPassMode(const script::TagRecord& record) {
    auto mode = record.FindAttribute(kw::kMode);
    return mode && script::ToUpperAscii(*mode) == "PASS";
}

}  // namespace

Player::Player(Shell& shell, Settings& settings, host::Clock& clock, host::Clock* iconClock)
    : shell_(shell),
      settings_(settings),
      clock_(clock),
      iconClock_(iconClock != nullptr ? *iconClock : clock),
      waitIcon_(iconClock_, uiPaused, textWindowHidden),
      commands_(shell, [this](const std::string& question) {
          StopMode(ModeStop::kBox);
          const PauseToken paused = Pause();
          return shell_.ShowMessage(question, true);
      }) {}

Player::~Player() {
    Close();
}

void Player::Close() {
    closing_ = 1;
    clock_.Interrupt();
    iconClock_.Interrupt();
    WaitForWorker();
    StopWaitIcon();
    clock_.Resume();
    iconClock_.Resume();
    closing_ = 0;
    interpreter_ = nullptr;
}

void Player::BookOpened(interp::Interpreter* interpreter) {
    ResetRunState();
    Start(interpreter, false);
}

void Player::Start(interp::Interpreter* interpreter, bool fromBookmark) {
    interpreter_ = interpreter;
    loadedFromBookmark_ = fromBookmark ? 1 : 0;
    StartWorker();
}

void Player::ResetRunState() {
    Close();
    // Nothing of the reading before survives: the speeds WAIT tags, fast-forward and skip set
    // go back to the reader's own.
    StopMode(ModeStop::kEnd);
    LeaveFastForward();
    choicePending_ = 0;
    formPending_ = 0;
    formPause_.reset();
    textWindowHidden = 0;
    waitingIcons_ = nullptr;
    loadedFromBookmark_ = 0;
    stopRequested_ = 0;
    for (auto& flag : clicks) {
        flag = 0;
    }
    timerOrigin_ = clock_.NowMs();
    speeds_.Clear();
    commands_.Forget();
    shell_.SetTitle("");
}

bool Player::StartWorker() {
    int expected = 0;
    if (!workerRunning_.compare_exchange_strong(expected, 1)) {
        return false;
    }
    // The worker draws on the stage and runs ICON tags: never while an icon is animated.
    StopWaitIcon();
    waitingIcons_ = nullptr;
    if (worker_.joinable()) {
        worker_.join();  // the previous worker has cleared its flag and is ending
    }
    worker_ = std::thread([this] { Worker(); });
    return true;
}

void Player::WaitForWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void Player::Worker() {
    // Auto started at a page the reader was reading: its pause first, then on as a click.
    if (autoFromWait_.exchange(0) == 0 || AutoPaused(lastTyped_)) {
        RunLoop();
    }
    host::ReleaseThreadState();
    workerRunning_ = 0;
}

void Player::FillEngineSettings(interp::EngineSettings& engine) const {
    engine.stage.m_nBackEffect = settings_.backEffect.current;
    engine.stage.m_nBackWait = settings_.backWait.current;
    engine.stage.m_nCharEffect = settings_.charEffect.current;
    engine.stage.m_nCharWait = settings_.charWait.current;
    engine.stage.m_nFadeEffect = settings_.fadeEffect.current;
    engine.stage.m_nFadeWait = settings_.fadeWait.current;
    engine.stage.m_nBright = settings_.bright;
    engine.stage.m_nBrightEffect = settings_.brightEffect;
    engine.stage.m_nUseAntiAlias = settings_.useAntiAlias;
    engine.stage.m_nJpeg = settings_.jpeg;
    engine.text.m_nTextWait = settings_.textWait.current;
    engine.text.m_nTextEffect = settings_.textEffect.current;
    engine.useGpx = settings_.useGpx;
    engine.wrapAtSpaces = settings_.wrapAtSpaces.load() != 0 ? 1 : 0;
}

void Player::RunLoop() {
    if (interpreter_ == nullptr) {
        return;
    }
    script::TagRecord record;
    while (stopRequested_.load() == 0 && closing_.load() == 0) {
        record.Clear();
        const int result = interpreter_->Step(record);
        if (closing_.load() != 0) {
            return;  // a closing book neither waits nor asks the reader anything
        }
        if (listener_ != nullptr) {
            listener_->StepDone(result, record);
        }
        switch (result) {
            case step::kPageWait:
            case step::kLineWait:
            case step::kClickWait:
                if (StopsAtWait(result, record)) {
                    return;
                }
                continue;
            case step::kTimer:
                Timer(record);
                continue;
            case step::kStageSize:
                shell_.SetStageSize(record.AttributeInt(kw::kWidth, 0),
                                    record.AttributeInt(kw::kHeight, 0));
                continue;
            case step::kLinks:
                if (OfferLinks(record)) {
                    StopMode(ModeStop::kChoice);
                    return;
                }
                continue;
            case step::kBookEnd:
                LeaveFastForward();
                ShowEndText();
                return;
            case step::kTrap:
                LeaveFastForward();
                StopMode(ModeStop::kEnd);
                return;
            case step::kBgm:
                Bgm(record);
                continue;
            case step::kSpeeds:
                if (!Hurrying()) {
                    speeds_.Apply(record, settings_);
                }
                continue;
            case step::kSound:
                // A sound the effects could not start plays nowhere: the book goes on as if
                // it had ended.
                continue;
            case step::kEndTag:
                if (auto alt = record.FindAttribute(kw::kAlt)) {
                    std::lock_guard lock(endTextMutex_);
                    endText_ = std::string(*alt);
                }
                ShowEndText();
                return;
            case step::kAutoBookmark:
                if (loadedFromBookmark_.load() != 0) {
                    continue;
                }
                StopMode(ModeStop::kBox);
                shell_.Post(AutoBookmarkMessage{});
                return;
            case step::kForm:
                if (record.IsClosing()) {
                    FormComplete();
                    return;
                }
                continue;  // the interpreter built the form and its controls itself
            default:
                continue;
        }
    }
}

void Player::FormComplete() {
    StopMode(ModeStop::kForm);
    formPending_ = 1;
    formPause_.emplace(uiPaused);
    ShowPage(true);
    shell_.Post(FormCompleteMessage{});
}

void Player::Timer(const script::TagRecord& record) {
    auto time = record.FindAttribute(kw::kTime);
    if (!time) {
        timerOrigin_ = clock_.NowMs();
        return;
    }
    // Signed 32-bit, as the old tick arithmetic: a moment already passed never sleeps.
    const auto wait = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(TimerMs(*time) - (clock_.NowMs() - timerOrigin_.load())));
    if (wait >= 0) {
        clock_.SleepMs(wait);
    }
}

void Player::Bgm(const script::TagRecord& record) {
    if (music_ == nullptr) {
        return;
    }
    BgmRequest request;
    record.GetAttribute(kw::kSrc, request.source);
    request.loop = record.AttributeInt(kw::kLoop, kDefaultLoop);
    request.timeMs = FadeTimeMs(record.AttributeInt(kw::kTime, 0));
    request.sync = !IsPassMode(record);
    music_->Bgm(request);
}

bool Player::OfferLinks(const script::TagRecord& record) {
    interp::LinkSet& links = interpreter_->Links();
    links.Build(record, interpreter_->Variables());
    script::TagRecord chosen;
    if (links.ResolveAtOnce(chosen)) {
        // A link without text is taken at once: the book goes on at its target.
        choicePending_ = 0;
        interpreter_->Choose(chosen);
        return false;
    }
    stage::Stage& stage = interpreter_->Controller().GetStage();
    stage.DrawLocked(
        [&links](stage::Surface& composed, stage::Surface&) { links.DrawLinks(composed); });
    for (int i = 0; i < links.Count() && !links.RectOf(i).IsEmpty(); ++i) {
        PresentLink(i);
    }
    choicePending_ = 1;
    ShowPage(true);
    return true;
}

void Player::PresentLink(int index) {
    if (index >= 0 && index < interpreter_->Links().Count()) {
        const stage::Rect& rect = interpreter_->Links().RectOf(index);
        if (!rect.IsEmpty()) {
            interpreter_->Controller().GetStage().Present(rect, 0, 0);
        }
    }
}

void Player::StartWaitIcon(int kind, const script::TagRecord& record) {
    const stage::Point mark{record.AttributeInt(kw::kLeft, 0), record.AttributeInt(kw::kTop, 0)};
    const auto shown = [&] {
        if (listener_ != nullptr) {
            listener_->WaitStarted(kind, mark.x, mark.y);
        }
    };
    waitingIcons_ = nullptr;
    if (!interpreter_->IconsEnabled()) {
        shown();
        return;
    }
    stage::Stage& stage = interpreter_->Controller().GetStage();
    stage::WaitIconList& icon = kind == step::kPageWait ? stage.PageIcons() : stage.LineIcons();
    icon.anchor = mark;
    waitingIcons_ = &icon;
    waitIcon_.Start(stage, icon, shown);
}

void Player::ShowEndText() {
    StopMode(ModeStop::kEnd);
    bool ok = false;
    {
        const PauseToken paused = Pause();
        ok = shell_.ShowMessage(EndText(), false);
    }
    if (ok) {
        shell_.RequestClose();
    }
}

std::string Player::EndText() const {
    std::lock_guard lock(endTextMutex_);
    if (!endText_.empty()) {
        return endText_;
    }
    return script::PlayerMessage(settings_.langMode, script::msg::kTheEnd);
}

void Player::EnterFastForward() {
    StopMode(ModeStop::kClick);
    HurrySpeeds();
    fastForward_ = 1;
}

void Player::LeaveFastForward() {
    RestoreSpeeds();
    fastForward_ = 0;
}

void Player::Click() {
    if (interpreter_ == nullptr) {
        return;
    }
    clicks[1] = 1;  // finishes the text being typed at once
    if (textWindowHidden.load() != 0 && !WorkerRunning()) {
        interpreter_->Window().HideWindow(false);
        textWindowHidden = 0;
        RestartWaitIcon();
        return;  // the click only shows the window again
    }
    if (FormPending()) {
        return;
    }
    StopWaitIcon();
    if (FastForward()) {
        LeaveFastForward();
        return;
    }
    if (Mode() != ReadingMode::kNone) {
        StopModeByReader();  // the click only ends skip or auto, as it ends fast-forward
        RestartWaitIcon();
        return;
    }
    if (ChoicePending()) {
        interp::LinkSet& links = interpreter_->Links();
        script::TagRecord chosen;
        if (WorkerRunning() || !links.Take(chosen)) {
            return;  // a link is taken only where the reader points at it
        }
        choicePending_ = 0;
        if (linkChosen_) {
            linkChosen_(host::Cp932ToUtf8(chosen.AttributeText(kw::kAlt)));
        }
        interpreter_->Choose(chosen);
        interpreter_->NewPage();  // which also takes the links off the screen
    }
    StartWorker();
}

void Player::GotoNextChoice() {
    StopWaitIcon();
    // A form goes on only through its SUBMIT.
    if (FastForward() || interpreter_ == nullptr || ChoicePending() || FormPending()) {
        return;
    }
    EnterFastForward();
    StartWorker();
}

void Player::HideTextWindow() {
    if (interpreter_ == nullptr || WorkerRunning() || textWindowHidden.load() != 0) {
        return;
    }
    StopWaitIcon();
    interpreter_->Window().HideWindow(true);
    textWindowHidden = 1;
}

void Player::MouseMove(int x, int y) {
    if (interpreter_ == nullptr || !ChoicePending() || WorkerRunning()) {
        return;
    }
    interp::LinkSet& links = interpreter_->Links();
    const int before = links.Highlighted();
    const bool changed = interpreter_->Controller().GetStage().DrawLocked(
        [&](stage::Surface& composed, stage::Surface&) { return links.Hover(x, y, composed); });
    if (changed) {
        PresentLink(before);
        PresentLink(links.Highlighted());
    }
}

bool Player::MoveHighlight(int step) {
    if (interpreter_ == nullptr || !ChoicePending() || WorkerRunning()) {
        return false;
    }
    interp::LinkSet& links = interpreter_->Links();
    const int before = links.Highlighted();
    const bool changed = interpreter_->Controller().GetStage().DrawLocked(
        [&](stage::Surface& composed, stage::Surface&) {
            return links.MoveHighlight(step, composed);
        });
    if (changed) {
        PresentLink(before);
        PresentLink(links.Highlighted());
    }
    return changed;
}

void Player::Redisplay() {
    if (interpreter_ == nullptr || WorkerRunning()) {
        return;  // a running book composes with the new settings at its next step
    }
    const bool iconShown = WaitIconAlive();
    StopWaitIcon();
    interpreter_->Redisplay();
    // The icon was drawn over the old pixels; it comes back over the new ones.
    if (iconShown) {
        RestartWaitIcon();
    }
}

void Player::RestartWaitIcon() {
    if (waitingIcons_ != nullptr && !WorkerRunning() && !ChoicePending() && !FormPending()) {
        waitIcon_.Start(interpreter_->Controller().GetStage(), *waitingIcons_, [] {});
    }
}

void Player::ShowForm() {
    if (interpreter_ != nullptr && FormPending()) {
        interpreter_->ShowForm();
    }
}

int Player::FormCommand(int id) {
    if (interpreter_ == nullptr || !FormPending() || WorkerRunning()) {
        return 0;
    }
    const int result = interpreter_->FormCommand(id);
    if (result == interp::kFormSubmitted) {
        interpreter_->SubmitForm();
        interpreter_->CloseForm();
        formPending_ = 0;
        formPause_.reset();
        StartWorker();
    }
    return result;
}

void Player::Command(const std::string& src, const std::string& folder) {
    commands_.Run(src, folder, settings_.allowCommand.current != 0, settings_.langMode);
}

}  // namespace talu::app
