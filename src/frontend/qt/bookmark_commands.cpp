#include "frontend/qt/bookmark_commands.h"

#include <QApplication>

#include "frontend/qt/bookmark_dialog.h"
#include "host/paths.h"
#include "script/keywords.h"
#include "script/messages.h"

namespace talu::qt {
namespace {

using app::BookmarkManager;

/// The flag that quiets the wait icon while a command asks the reader, cleared when the command
/// ends.
class PausedWhileAsking {
  public:
    explicit PausedWhileAsking(app::Session& session) : paused_(session.GetPlayer().uiPaused) {
        paused_.store(1);
    }
    ~PausedWhileAsking() { paused_.store(0); }
    PausedWhileAsking(const PausedWhileAsking&) = delete;
    PausedWhileAsking& operator=(const PausedWhileAsking&) = delete;

  private:
    std::atomic<int>& paused_;
};

bool SavingAllowed(const interp::Interpreter& interpreter) {
    const int mode = interpreter.BookmarkMode();
    return mode != script::kw::kSemiAuto && mode != script::kw::kAuto;
}

}  // namespace

BookmarkCommands::BookmarkCommands(Window window) : window_(std::move(window)) {}

app::Session* BookmarkCommands::IdleSession() {
    app::Session* session = window_.session();
    const bool idle = session != nullptr && session->GetInterpreter() != nullptr &&
                      !session->GetPlayer().WorkerRunning();
    return idle ? session : nullptr;
}

void BookmarkCommands::Save() {
    if (app::Session* session = IdleSession()) {
        PausedWhileAsking paused(*session);
        session->Bookmarks().Save(*session->GetInterpreter(), BookmarkManager::kCurrentSlot);
    }
}

void BookmarkCommands::SaveDebugSlot() {
    if (app::Session* session = IdleSession()) {
        session->Bookmarks().Save(*session->GetInterpreter(), 0);
    }
}

void BookmarkCommands::ReloadDebugSlot() {
    if (window_.session() != nullptr) {
        LoadSlot(0);
    }
}

void BookmarkCommands::Load() {
    app::Session* session = window_.session();
    if (session == nullptr) {
        return;
    }
    const int lang = window_.langMode();
    const int slot = session->Bookmarks().CurrentSlot();
    PausedWhileAsking paused(*session);
    if (!session->Bookmarks().SlotExists(slot)) {
        window_.ask(script::PlayerMessageForSlot(lang, script::msg::kCannotLoadCurrent, slot),
                    false);
        return;
    }
    AskAndLoad(slot);
}

void BookmarkCommands::AskAndLoad(int slot) {
    if (window_.ask(
            script::PlayerMessageForSlot(window_.langMode(), script::msg::kLoadQuestion, slot),
            true)) {
        LoadSlot(slot);
    }
}

BookmarkDialog::SlotSource BookmarkCommands::SlotsOf(BookmarkManager& bookmarks) {
    return BookmarkDialog::SlotSource{[&bookmarks] { return bookmarks.SlotList(); },
                                      [this](int slot) { return SlotPicture(slot); },
                                      [this](int slot) { InitializeWithQuestions(slot); }};
}

void BookmarkCommands::Menu() {
    app::Session* session = IdleSession();
    if (session == nullptr) {
        return;
    }
    PausedWhileAsking paused(*session);
    BookmarkManager& bookmarks = session->Bookmarks();
    BookmarkDialog dialog(window_.langMode(), BookmarkDialog::Form::kFull,
                          SavingAllowed(*session->GetInterpreter()), bookmarks.CurrentSlot(),
                          SlotsOf(bookmarks), window_.parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const BookmarkDialog::Choice choice = dialog.Chosen();
    const int lang = window_.langMode();
    if (choice.kind == BookmarkDialog::Choice::Kind::kLoad) {
        AskAndLoad(choice.slot);
        return;
    }
    if (!window_.ask(script::PlayerMessageForSlot(lang, script::msg::kSaveQuestion, choice.slot),
                     true)) {
        return;
    }
    // The dialog's boxes may have let a finished sound start the book again.
    if (app::Session* idle = IdleSession()) {
        idle->GetInterpreter()->SetBookmarkComment(choice.comment);
        idle->Bookmarks().Save(*idle->GetInterpreter(), choice.slot);
    }
}

void BookmarkCommands::OfferAutoLoad() {
    app::Session* session = IdleSession();
    if (session == nullptr) {
        return;
    }
    PausedWhileAsking paused(*session);
    BookmarkManager& bookmarks = session->Bookmarks();
    BookmarkDialog dialog(window_.langMode(), BookmarkDialog::Form::kLoadOnly, false,
                          bookmarks.CurrentSlot(), SlotsOf(bookmarks), window_.parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;  // the book stays stopped until the next click
    }
    const int slot = dialog.Chosen().slot;
    // An empty slot starts the book from its top, in that slot.
    if (!bookmarks.SlotList()[slot - 1].hasData && !bookmarks.Initialize(slot)) {
        return;
    }
    LoadSlot(slot);
}

void BookmarkCommands::InitializeWithQuestions(int slot) {
    app::Session* session = IdleSession();
    const int lang = window_.langMode();
    if (session != nullptr &&
        window_.ask(script::PlayerMessageForSlot(lang, script::msg::kInitializeQuestion, slot),
                    true) &&
        window_.ask(script::PlayerMessage(lang, script::msg::kConfirm), true)) {
        session->Bookmarks().Initialize(slot);
    }
}

bool BookmarkCommands::LoadSlot(int slot) {
    app::Session* session = window_.session();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = session->LoadBookmark(slot, window_.endRun);
    QApplication::restoreOverrideCursor();
    window_.loadOver();
    if (loaded) {
        session->StartRestored();
    }
    return loaded;
}

QImage BookmarkCommands::SlotPicture(int slot) {
    app::Session* session = window_.session();
    if (session == nullptr) {
        return {};
    }
    const auto host = host::FindHostPath(session->Bookmarks().SlotPicturePath(slot), {});
    return host ? QImage(QString::fromStdString(host->string()), "PNG") : QImage();
}

}  // namespace talu::qt
