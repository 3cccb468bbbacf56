#include "frontend/qt/bookmark_commands.h"

#include "host/paths.h"

namespace talu::qt {

using app::ReaderCommand;

BookmarkDialog::SlotSource BookmarkCommands::SlotsOf(app::Session& session) {
    app::BookmarkManager& bookmarks = session.Bookmarks();
    app::ReaderCommands& commands = session.Commands();
    return BookmarkDialog::SlotSource{[&bookmarks] { return bookmarks.SlotList(); },
                                      [this](int slot) { return SlotPicture(slot); },
                                      [&commands](int slot) { commands.Initialize(slot, true); }};
}

void BookmarkCommands::Menu() {
    app::Session* session = window_.session();
    if (session == nullptr || !session->Commands().Can(ReaderCommand::kBookmarkMenu).Allowed()) {
        return;
    }
    app::ReaderCommands& commands = session->Commands();
    const app::Player::PauseToken paused = commands.Pause();
    BookmarkDialog dialog(window_.langMode(), BookmarkDialog::Form::kFull,
                          commands.Can(ReaderCommand::kSave).reason != app::Refusal::kAutoSave,
                          session->Bookmarks().CurrentSlot(), SlotsOf(*session), window_.parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const BookmarkDialog::Choice choice = dialog.Chosen();
    if (choice.kind == BookmarkDialog::Choice::Kind::kLoad) {
        commands.LoadFrom(choice.slot);
    } else {
        commands.SaveTo(choice.slot, choice.comment);
    }
}

void BookmarkCommands::OfferAutoLoad() {
    app::Session* session = window_.session();
    if (session == nullptr || session->GetPlayer().WorkerRunning() ||
        session->GetPlayer().LoadedFromBookmark()) {
        return;
    }
    app::ReaderCommands& commands = session->Commands();
    const app::Player::PauseToken paused = commands.Pause();
    BookmarkDialog dialog(window_.langMode(), BookmarkDialog::Form::kLoadOnly, false,
                          session->Bookmarks().CurrentSlot(), SlotsOf(*session), window_.parent);
    if (dialog.exec() == QDialog::Accepted) {
        commands.AutoLoad(dialog.Chosen().slot);
    }  // cancelled, the book stays stopped until the next click
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
