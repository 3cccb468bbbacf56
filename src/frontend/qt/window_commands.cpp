// The window's menu commands: each maps onto the session's reader commands, or is a matter of
// the window itself (display, documents, language, dialogs).
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QUrl>

#include "frontend/qt/about_box.h"
#include "frontend/qt/bookmark_commands.h"
#include "frontend/qt/commands.h"
#include "frontend/qt/help_documents.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/popup_menu.h"
#include "frontend/qt/qt_settings_store.h"
#include "frontend/qt/read_along.h"
#include "frontend/qt/save_picture.h"
#include "frontend/qt/settings_dialog.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/ui_text.h"
#include "script/messages.h"

namespace talu::qt {
namespace {

using app::ReaderCommand;

/// The menu's reader commands and what each is in the session's terms.
struct MenuCommand {
    int id;
    ReaderCommand command;
};
constexpr MenuCommand kReaderMenuCommands[] = {
    {command::kGotoNextChoice, ReaderCommand::kGotoNextChoice},
    {command::kCloseWindow, ReaderCommand::kCloseWindow},
    {command::kSave, ReaderCommand::kSave},
    {command::kLoad, ReaderCommand::kLoad},
    {command::kBookmarkMenu, ReaderCommand::kBookmarkMenu},
    {command::kSavePicture, ReaderCommand::kSavePicture},
    {command::kBacklog, ReaderCommand::kBacklog},
    {command::kSkipRead, ReaderCommand::kSkip},
    {command::kAutoRead, ReaderCommand::kAuto},
};

}  // namespace

bool MainWindow::ShowPopupMenu(QPoint globalPoint) {
    app::ReaderCommands* commands = Commands();
    if (commands != nullptr) {
        commands->LeaveFastForward();
    }
    if (WorkerRunning()) {
        return false;  // the book is running or an effect draws
    }
    MenuState state;
    state.langMode = settings_.langMode;
    state.singleBook = launch_.singleBook;
    state.fullScreen = display_->FullScreen();
    state.windowScale = desktop_.windowScale;
    state.scaleFits = display_->FittingScales();
    for (std::size_t i = 0; i < state.webAvailable.size(); ++i) {
        state.webAvailable[i] = !desktop_.webAddresses[i].empty();
    }
    state.recentBooks = RecentMenuBooks();
    for (const MenuCommand& item : kReaderMenuCommands) {
        if (commands == nullptr || !commands->Can(item.command).Offered()) {
            state.refused.push_back(item.id);
        }
    }
    QMenu menu(this);
    BuildPopupMenu(menu, state);
    const QAction* chosen = nullptr;
    {
        const auto paused = PauseWhileAsking();
        chosen = menu.exec(globalPoint);
    }
    if (chosen != nullptr) {
        RunCommand(chosen->data().toInt());
    }
    return true;
}

void MainWindow::Say(const QString& japanese, const QString& english) {
    gate_.Ask(ToCp932(settings_.langMode == 0 ? japanese : english), false);
}

void MainWindow::RunCommand(int id) {
    // Each command pauses the wait icon itself while it asks: Open and Quit end the session.
    if (app::ReaderCommands* commands = Commands()) {
        switch (id) {
            case command::kGotoNextChoice:
                commands->GotoNextChoice();
                return;
            case command::kCloseWindow:
                commands->CloseWindow();
                return;
            case command::kSave:
                SaveWithNotice();
                return;
            case command::kSkipRead:
                commands->ToggleSkip();
                return;
            case command::kAutoRead:
                commands->ToggleAuto();
                return;
            case command::kLoad:
                commands->Load();
                return;
            default:
                break;
        }
    }
    RunWindowCommand(id);
}

void MainWindow::RunWindowCommand(int id) {
    switch (id) {
        case command::kOpen:
            if (!launch_.singleBook) {
                OpenDialog();
            }
            return;
        case command::kBookmarkMenu:
            bookmarks_->Menu();
            return;
        case command::kBacklog:
            ShowBacklog();
            return;
        case command::kSetting:
            SettingsDialog();
            return;
        case command::kSavePicture:
            SavePicture();
            return;
        case command::kFullScreen:
        case command::kWindow:
            SetDisplayMode(id == command::kFullScreen, desktop_.windowScale);
            return;
        case command::kHelp:
        case command::kTags: {
            const auto paused = PauseWhileAsking();
            OpenHelpDocument(
                this, id == command::kHelp ? HelpDocument::kGuide : HelpDocument::kTags,
                settings_.langMode, HelpFolders(QCoreApplication::applicationDirPath()));
            return;
        }
        case command::kAbout: {
            const auto paused = PauseWhileAsking();
            ShowAboutBox(this, settings_.langMode);
            return;
        }
        case command::kDebug:
            if (!launch_.singleBook && !display_->FullScreen()) {
                Debug().Toggle(*this);
            }
            return;
        case command::kDownloadNewVersion:
        case command::kDownloadBook:
        case command::kMessageBoard:
        case command::kRanking: {
            const int index = id == command::kRanking ? 3 : id - command::kDownloadNewVersion;
            if (!desktop_.webAddresses[index].empty()) {
                OpenDocument(FromCp932(desktop_.webAddresses[index]));
            }
            return;
        }
        case command::kJapanese:
        case command::kEnglish:
            settings_.langMode = id == command::kJapanese ? 0 : 1;
            qtLanguage_.Apply(settings_.langMode);
            return;
        case command::kQuit:
            close();
            return;
        default:
            if (id > command::kWindowScale && id <= command::kWindowScale + 3) {
                SetDisplayMode(false, id - command::kWindowScale);
            } else if (id >= command::kRecentBook &&
                       id < command::kRecentBook + static_cast<int>(app::RecentBooks::kLimit)) {
                OpenRecentBook(static_cast<std::size_t>(id - command::kRecentBook));
            }
            return;  // TEST and anything unknown do nothing
    }
}

void MainWindow::OpenDialog() {
    QString start;
    if (!session_) {
        const QDir program(QCoreApplication::applicationDirPath());
        start = program.exists("TALUBook") ? program.filePath("TALUBook") : program.path();
    }
    // Books come in archives too; names from old systems are often in capitals, and the
    // desktop's file dialogs match case.
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open TALU book"), start,
        QStringLiteral("TALU book  (*.talu *.TALU *.lzh *.LZH *.lha *.LHA *.zip *.ZIP *.7z *.7Z)"
                       ";;All Files (*)"));
    if (!chosen.isEmpty()) {
        OpenBook(chosen.toStdString());
    }
}

std::optional<app::Player::PauseToken> MainWindow::PauseWhileAsking() {
    app::ReaderCommands* commands = Commands();
    return commands != nullptr ? std::optional(commands->Pause()) : std::nullopt;
}

void MainWindow::SettingsDialog() {
    qt::SettingsDialog dialog(settings_, desktop_, settings_.langMode, this);
    readAlong_->Attend(dialog.ReadAlongPart());
    bool accepted = false;
    {
        const auto paused = PauseWhileAsking();
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted) {
        return;
    }
    const qt::SettingsDialog::Outcome outcome = dialog.Apply();
    WriteSettings();
    display_->SetMode(display_->FullScreen(), desktop_.windowScale);  // smooth scaling may change
    if (app::ReaderCommands* commands = Commands()) {
        commands->ApplySettings(outcome.redraw);
    }
    if (const QString problem = readAlong_->Apply(); !problem.isEmpty()) {
        Say(problem, problem);
    }
}

void MainWindow::SavePicture() {
    app::ReaderCommands* commands = Commands();
    if (commands == nullptr || !commands->Can(ReaderCommand::kSavePicture).Allowed()) {
        return;
    }
    bool failed = false;
    SavePictureWithDialog(this, session_->GetScreen(), settings_.jpeg, failed);
    if (failed) {
        Say(QString::fromUtf8("セーブに失敗しました"), QStringLiteral("Save fail."));
    }
    if (!display_->FullScreen()) {
        showNormal();
    }
}

void MainWindow::OpenDocument(const QString& target) {
    const bool web = target.contains(QStringLiteral("://"));
    const QUrl url =
        web ? QUrl(target) : QUrl::fromLocalFile(QDir::current().absoluteFilePath(target));
    QDesktopServices::openUrl(url);  // the player neither waits nor reports a failure
}

void MainWindow::WriteSettings() {
    settings_.Write(store_);
    desktop_.Write(store_);
    store_.Flush();  // a store that cannot be written costs the reader nothing now
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeConfirmed_) {
        event->accept();
        return;
    }
    if (app::ReaderCommands* commands = Commands()) {
        commands->LeaveFastForward();
    }
    if (!display_->FullScreen()) {
        settings_.windowLeft = frameGeometry().x();
        settings_.windowTop = frameGeometry().y();
    }
    bool ok = false;
    {
        const auto paused = PauseWhileAsking();
        ok = gate_.Ask(script::PlayerMessage(settings_.langMode, script::msg::kExitQuestion), true);
    }
    if (!ok) {
        event->ignore();
        return;
    }
    WriteSettings();
    CloseBook();
    if (debug_ != nullptr) {
        debug_->close();
    }
    closeConfirmed_ = true;
    event->accept();
}

}  // namespace talu::qt
