#include "app/reader_commands.h"

#include "app/session.h"
#include "script/keywords.h"
#include "script/messages.h"

namespace talu::app {
namespace {

bool SavesByItself(const interp::Interpreter& interpreter) {
    const int mode = interpreter.BookmarkMode();
    return mode == script::kw::kSemiAuto || mode == script::kw::kAuto;
}

}  // namespace

bool ReaderCommands::HasBook() const {
    return session_.GetInterpreter() != nullptr;
}

int ReaderCommands::SlotNumber(int slot) const {
    return slot == BookmarkManager::kCurrentSlot ? session_.Bookmarks().CurrentSlot() : slot;
}

bool ReaderCommands::Told(std::string_view command, int slot, bool ok) {
    if (listener_) {
        listener_(command, slot, ok);
    }
    return ok;
}

Verdict ReaderCommands::Can(ReaderCommand command) const {
    if (command == ReaderCommand::kSettings) {
        return {};
    }
    if (!HasBook()) {
        return {Refusal::kNoBook};
    }
    Session& session = session_;
    const Player& player = session.GetPlayer();
    const bool running = player.WorkerRunning();
    switch (command) {
        case ReaderCommand::kClick:
        case ReaderCommand::kSavePicture:
        case ReaderCommand::kSettings:
            return {};
        case ReaderCommand::kGotoNextChoice:
            // While the book types, the next choice is reached without waiting too.
            if (player.FastForward()) {
                return {Refusal::kFastForward};
            }
            if (player.ChoicePending()) {
                return {Refusal::kChoicePending};
            }
            return {player.FormPending() ? Refusal::kFormPending : Refusal::kNone};
        case ReaderCommand::kCloseWindow:
            if (running) {
                return {player.FastForward() ? Refusal::kFastForward : Refusal::kRunning};
            }
            if (player.FormPending()) {
                return {Refusal::kFormPending};
            }
            if (player.ChoicePending()) {
                return {Refusal::kChoicePending};
            }
            return {player.TextWindowHidden() ? Refusal::kWindowHidden : Refusal::kNone};
        case ReaderCommand::kSave:
            // The tables belong to the worker while it runs.
            if (running) {
                return {Refusal::kRunning};
            }
            if (SavesByItself(*session.GetInterpreter())) {
                return {Refusal::kAutoSave};
            }
            return {session.Bookmarks().HasSavePoint() ? Refusal::kNone
                                                       : Refusal::kNotYetSavable};
        case ReaderCommand::kLoad:
            // A load ends the running book first.
            return {session.Bookmarks().SlotExists(BookmarkManager::kCurrentSlot)
                        ? Refusal::kNone
                        : Refusal::kNoSlotFile};
        case ReaderCommand::kBookmarkMenu:
        case ReaderCommand::kInitialize:
            return {running ? Refusal::kRunning : Refusal::kNone};
        case ReaderCommand::kBacklog:
        case ReaderCommand::kReturnToPage:
            return BacklogVerdict(command);
    }
    return {};
}

Verdict ReaderCommands::BacklogVerdict(ReaderCommand command) const {
    const Player& player = session_.GetPlayer();
    // Nothing of the book runs while the reader looks back.
    if (player.WorkerRunning()) {
        return {player.FastForward() ? Refusal::kFastForward : Refusal::kRunning};
    }
    if (command == ReaderCommand::kBacklog) {
        return {};
    }
    const Backlog& backlog = session_.GetBacklog();
    for (std::size_t i = backlog.Size(); i-- > 0;) {
        if (backlog.SavePointOf(i) != nullptr) {
            return {};
        }
    }
    return {Refusal::kNoPageToReturnTo};
}

bool ReaderCommands::ReturnToPage(std::size_t index) {
    LeaveFastForward();
    // Told as the number of pages back from the last one, which is what the reader counts.
    const std::size_t size = session_.GetBacklog().Size();
    const int back = index < size ? static_cast<int>(size - 1 - index) : -1;
    const bool returned =
        Can(ReaderCommand::kReturnToPage).Allowed() && session_.ReturnToPage(index);
    if (Told("back", back, returned)) {
        session_.StartRestored();
    }
    return returned;
}

void ReaderCommands::Click(std::optional<std::pair<int, int>> stagePoint) {
    if (!HasBook()) {
        return;
    }
    if (stagePoint) {
        PointAt(stagePoint->first, stagePoint->second);
    }
    session_.GetPlayer().Click();
}

void ReaderCommands::PointAt(int x, int y) {
    if (HasBook()) {
        session_.GetPlayer().MouseMove(x, y);
    }
}

void ReaderCommands::LeaveFastForward() {
    Player& player = session_.GetPlayer();
    if (player.FastForward()) {
        player.LeaveFastForward();
    }
}

bool ReaderCommands::GotoNextChoice() {
    if (!Can(ReaderCommand::kGotoNextChoice).Allowed()) {
        return false;
    }
    session_.GetPlayer().GotoNextChoice();
    return true;
}

bool ReaderCommands::StopOrGotoNextChoice() {
    LeaveFastForward();
    return !session_.GetPlayer().WorkerRunning() && GotoNextChoice();
}

bool ReaderCommands::CloseWindow() {
    LeaveFastForward();
    if (!Can(ReaderCommand::kCloseWindow).Allowed()) {
        return false;
    }
    session_.GetPlayer().HideTextWindow();
    return true;
}

bool ReaderCommands::Save() {
    LeaveFastForward();
    const int slot = SlotNumber(BookmarkManager::kCurrentSlot);
    if (!Can(ReaderCommand::kSave).Offered()) {
        return Told("save", slot, false);
    }
    const Player::PauseToken paused = Pause();
    // A refused save shows its reason: the manager tells it.
    return Told("save", slot, session_.Bookmarks().Save(*session_.GetInterpreter(), slot));
}

bool ReaderCommands::SaveTo(int slot, const std::optional<std::string>& comment) {
    LeaveFastForward();
    if (!Can(ReaderCommand::kSave).Offered() ||
        !Ask(script::PlayerMessageForSlot(session_.GetSettings().langMode,
                                          script::msg::kSaveQuestion, slot),
             true)) {
        return Told("save", slot, false);
    }
    // The question may have let the book go on (a finished effect): it saves only when idle.
    if (session_.GetPlayer().WorkerRunning()) {
        return Told("save", slot, false);
    }
    if (comment) {
        SetComment(*comment);
    }
    const Player::PauseToken paused = Pause();
    return Told("save", slot, session_.Bookmarks().Save(*session_.GetInterpreter(), slot));
}

void ReaderCommands::SetComment(const std::string& comment) {
    if (HasBook() && !session_.GetPlayer().WorkerRunning()) {
        session_.GetInterpreter()->SetBookmarkComment(comment);
    }
}

bool ReaderCommands::SaveDebugSlot() {
    if (!HasBook() || session_.GetPlayer().WorkerRunning()) {
        return Told("save", 0, false);
    }
    return Told("save", 0, session_.Bookmarks().Save(*session_.GetInterpreter(), 0));
}

bool ReaderCommands::Load() {
    LeaveFastForward();
    if (!HasBook()) {
        return false;
    }
    const int slot = session_.Bookmarks().CurrentSlot();
    const int lang = session_.GetSettings().langMode;
    if (!Can(ReaderCommand::kLoad).Allowed()) {
        Ask(script::PlayerMessageForSlot(lang, script::msg::kCannotLoadCurrent, slot), false);
        return Told("load", slot, false);
    }
    return LoadFrom(slot);
}

bool ReaderCommands::LoadFrom(int slot) {
    LeaveFastForward();
    if (!HasBook() ||
        !Ask(script::PlayerMessageForSlot(session_.GetSettings().langMode,
                                          script::msg::kLoadQuestion, slot),
             true)) {
        return Told("load", slot, false);
    }
    return Loaded(slot);
}

bool ReaderCommands::LoadSlot(int slot) {
    LeaveFastForward();
    return HasBook() ? Loaded(slot) : Told("load", slot, false);
}

bool ReaderCommands::AutoLoad(int slot) {
    if (!HasBook() || session_.GetPlayer().WorkerRunning()) {
        return Told("load", slot, false);
    }
    BookmarkManager& bookmarks = session_.Bookmarks();
    // An empty slot starts the book from its top, in that slot.
    if (slot >= 1 && slot <= 9 && !bookmarks.SlotList()[slot - 1].hasData &&
        !Told("initialize", slot, bookmarks.Initialize(slot))) {
        return false;
    }
    return Loaded(slot);
}

bool ReaderCommands::Loaded(int slot) {
    const bool loaded = Told("load", SlotNumber(slot), session_.LoadBookmark(slot));
    if (loaded) {
        session_.StartRestored();
    }
    return loaded;
}

bool ReaderCommands::Initialize(int slot, bool ask) {
    LeaveFastForward();
    if (!Can(ReaderCommand::kInitialize).Allowed()) {
        return Told("initialize", slot, false);
    }
    const int lang = session_.GetSettings().langMode;
    if (ask && !(Ask(script::PlayerMessageForSlot(lang, script::msg::kInitializeQuestion, slot),
                     true) &&
                 Ask(script::PlayerMessage(lang, script::msg::kConfirm), true))) {
        return Told("initialize", slot, false);
    }
    return Told("initialize", slot, session_.Bookmarks().Initialize(slot));
}

void ReaderCommands::ApplySettings(bool redraw) {
    if (MusicPlayer* music = session_.Music()) {
        // Off stops the music and keeps its source for bookmarks; on waits for the next BGM.
        music->SetEnabled(session_.GetSettings().useCD.current != 0);
    }
    if (redraw) {
        session_.GetPlayer().Redisplay();
    }
}

Player::PauseToken ReaderCommands::Pause() {
    return session_.GetPlayer().Pause();
}

bool ReaderCommands::Ask(const std::string& text, bool withCancel) {
    const Player::PauseToken paused = Pause();
    return session_.GetShell().ShowMessage(text, withCancel);
}

}  // namespace talu::app
