#include "frontend/qt/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QUrl>
#include <fstream>
#include <variant>

#include "app/debug_value.h"
#include "frontend/qt/about_box.h"
#include "frontend/qt/bookmark_commands.h"
#include "frontend/qt/commands.h"
#include "frontend/qt/debug_window.h"
#include "frontend/qt/display_mode.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/key_commands.h"
#include "frontend/qt/popup_menu.h"
#include "frontend/qt/qt_settings_store.h"
#include "frontend/qt/save_picture.h"
#include "frontend/qt/settings_dialog.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/ui_text.h"
#include "frontend/qt/window_audio.h"
#include "frontend/qt/window_placement.h"
#include "host/paths.h"
#include "script/messages.h"

namespace talu::qt {
namespace {

const char* const kCaption = "TALU Version 2.10.99.1011";

/// Why a file cannot be a book, in the reader's language; empty when it may be one.
QString BookProblem(const std::filesystem::path& book, int lang) {
    std::error_code error;
    if (!std::filesystem::exists(book, error)) {
        return Pick(lang, "ファイルが見つかりません。", "The file does not exist.");
    }
    if (std::filesystem::is_directory(book, error)) {
        return Pick(lang, "フォルダは本ではありません。", "A folder is not a book.");
    }
    std::ifstream in(book, std::ios::binary);
    if (!in) {
        return Pick(lang, "ファイルが読めません。", "The file cannot be read.");
    }
    std::string head(64 * 1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head.find_first_not_of(" \t\r\n") == std::string::npos) {
        return Pick(lang, "本に文章がありません。", "The book has no text.");
    }
    if (head.find('\0') != std::string::npos) {
        return Pick(lang, "このファイルは本ではありません（文章ではありません）。",
                    "The file is not a book (it is not text).");
    }
    return {};
}

}  // namespace

MainWindow::MainWindow(app::Settings& settings, DesktopSettings& desktop, QtSettingsStore& store,
                       const LaunchOptions& launch)
    : settings_(settings),
      desktop_(desktop),
      store_(store),
      launch_(launch),
      gate_(this, settings.langMode) {
    qtLanguage_.Apply(settings_.langMode);
    setWindowTitle(QString::fromUtf8(kCaption));
    setAcceptDrops(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    view_ = new StageView(this);
    view_->SetScale(desktop_.windowScale);
    forms_ = std::make_unique<FormOverlay>(*view_, [this](int id) { return FormCommand(id); });
    DebugWindow::Actions actions;
    actions.value = [this](const std::string& text) -> std::optional<std::string> {
        if (!session_ || WorkerRunning()) {
            return std::nullopt;  // the variables belong to the worker while it runs
        }
        return app::DebugValue(session_->GetInterpreter()->Variables(), text);
    };
    actions.bookmark = [this](int which) {
        if (which == 1) {
            bookmarks_->SaveDebugSlot();
        } else {
            bookmarks_->ReloadDebugSlot();
        }
    };
    debugActions_ = std::move(actions);  // the window itself waits for its first use
    BookmarkCommands::Window window;
    window.parent = this;
    window.session = [this] { return session_.get(); };
    window.langMode = [this] { return settings_.langMode.load(); };
    window.ask = [this](const std::string& text, bool withCancel) {
        return gate_.Ask(text, withCancel);
    };
    window.endRun = [this] { EndRunForLoad(); };
    window.loadOver = [this] { gate_.Reopen(); };
    bookmarks_ = std::make_unique<BookmarkCommands>(std::move(window));
    cursorTimer_.setSingleShot(true);
    connect(&cursorTimer_, &QTimer::timeout, this, [this] {
        cursorFrame_ = (cursorFrame_ + 1) % std::max<std::size_t>(1, cursorFrames_.size());
        ShowCursorFrame();
    });
    FitWindowToStage();
    PlaceWindow();
}

MainWindow::~MainWindow() {
    CloseBook();
}

DebugWindow& MainWindow::Debug() {
    if (debug_ == nullptr) {
        debug_ = new DebugWindow(settings_.langMode, debugActions_, debugItems_, this);
    }
    return *debug_;
}

bool MainWindow::WorkerRunning() {
    return session_ && session_->GetPlayer().WorkerRunning();
}

// ----- books -----

bool MainWindow::OpenBook(const std::filesystem::path& book) {
    const int lang = settings_.langMode;
    QString problem = BookProblem(book, lang);
    if (problem.isEmpty()) {
        if (!displayChosen_) {
            ChooseDisplayMode();
        }
        CloseBook();
        app::SessionOptions options;
        options.shell = this;
        options.settings = &settings_;
        options.clock = &clock_;
        options.programFolder = host::ProgramFolder();
        options.debugFeed = &debugItems_;
        options.onStageFailure = [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!fullScreen_) {
                        Debug().ShowBeside(*this);
                    }
                },
                Qt::QueuedConnection);
        };
        if (!audio_) {
            audio_ = MakeWindowAudio(*this, gate_, settings_);
        }
        options.audio = audio_.get();
        std::string failure;
        session_ = app::Session::Create(options, failure);
        if (!session_ || !session_->LoadBook(host::InsidePathFromHost(book.lexically_normal()))) {
            session_.reset();
            problem = Pick(lang, "本が読めません。", "The book cannot be read.");
        }
    }
    if (!problem.isEmpty()) {
        const QString path = QString::fromStdString(book.string());
        gate_.Ask(ToCp932(Pick(lang, "本を開けませんでした。", "Cannot open the book.") + "\n" +
                          path + "\n" + problem),
                  false);
        return false;
    }
    view_->SetScreen(&session_->GetScreen());
    setWindowTitle(QString::fromUtf8(kCaption));
    if (!fullScreen_) {
        activateWindow();
        setFocus();
    }
    session_->StartBook();
    return true;
}

void MainWindow::CloseBook() {
    gate_.Close();  // a worker waiting for a box goes on at once
    forms_->Clear();
    if (session_) {
        session_->CloseBook();  // a pause in progress ends at once
        session_->StopMedia();
        view_->SetScreen(nullptr);
        session_.reset();
    }
    ++booksClosed_;
    cursorFrames_.clear();
    cursorTimer_.stop();
    view_->unsetCursor();
    gate_.Reopen();
}

void MainWindow::EndRunForLoad() {
    gate_.Close();  // a worker waiting for a box goes on at once, so the book can end
    forms_->Clear();
    cursorFrames_.clear();
    cursorTimer_.stop();
    ShowCursorFrame();
}

// ----- display -----

void MainWindow::ChooseDisplayMode() {
    displayChosen_ = true;
    bool haveAnswer = false;
    const QSize screenSize = screen() != nullptr ? screen()->size() : QSize(640, 480);
    bool full = FullScreenWithoutAsking(launch_.display, screenSize, haveAnswer);
    if (!haveAnswer) {
        full = AskFullScreen(this, settings_.langMode, desktop_.fullScreen != 0);
    }
    SetDisplayMode(full, desktop_.windowScale);
}

void MainWindow::SetDisplayMode(bool fullScreen, int scale) {
    fullScreen_ = fullScreen;
    desktop_.fullScreen = fullScreen ? 1 : 0;
    desktop_.windowScale = std::clamp(scale, 1, 3);
    view_->SetFit(fullScreen, desktop_.smoothScaling != 0);
    view_->SetScale(desktop_.windowScale);
    if (fullScreen) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        showFullScreen();
        if (debug_ != nullptr) {
            debug_->hide();
        }
    } else {
        if (isFullScreen()) {
            showNormal();
        }
        FitWindowToStage();
    }
    view_->setGeometry(rect());
    forms_->Place();
}

void MainWindow::FitWindowToStage() {
    if (fullScreen_) {
        return;
    }
    setFixedSize(stageSize_ * desktop_.windowScale);
    view_->setGeometry(rect());
}

void MainWindow::PlaceWindow() {
    const QRect desk = screen() != nullptr ? screen()->geometry() : QRect(0, 0, 640, 480);
    if (settings_.windowLeft < 0 || settings_.windowLeft >= desk.width()) {
        settings_.windowLeft = 0;
    }
    if (settings_.windowTop < 0 || settings_.windowTop >= desk.height()) {
        settings_.windowTop = 0;
    }
    move(settings_.windowLeft, settings_.windowTop);
}

void MainWindow::KeepInsideWorkArea() {
    if (fullScreen_ || screen() == nullptr) {
        return;
    }
    const QRect frame = frameGeometry();
    const QPoint place = KeptInside(frame, screen()->availableGeometry());
    if (place != frame.topLeft()) {
        move(place);
    }
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!WorkerRunning()) {  // the old window did not react while an effect drew
        KeepInsideWorkArea();
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::Resize) {
        view_->setGeometry(rect());
        forms_->Place();
    }
    return QWidget::event(event);
}

// ----- the worker's messages -----

void MainWindow::Post(app::PlayerMessage message) {
    if (std::holds_alternative<app::FormCompleteMessage>(message)) {
        QMetaObject::invokeMethod(
            this, [this] { FormComplete(); }, Qt::QueuedConnection);
    } else if (const auto* sound = std::get_if<app::SoundMessage>(&message)) {
        if (sound->wait) {
            app::Player* asking = &session_->GetPlayer();
            QMetaObject::invokeMethod(
                this, [this, asking] { SoundPlayedNowhere(asking); }, Qt::QueuedConnection);
        }
    } else if (std::holds_alternative<app::AutoBookmarkMessage>(message)) {
        QMetaObject::invokeMethod(
            this,
            [this, book = booksClosed_.load()] {
                if (book == booksClosed_.load() && session_ &&
                    !session_->GetPlayer().LoadedFromBookmark()) {
                    bookmarks_->OfferAutoLoad();
                }
            },
            Qt::QueuedConnection);
    }
    // BGM goes to the session's music player on the worker (a fade keeps the book waiting,
    // never the window), so no BgmMessage comes here.
}

void MainWindow::SoundPlayedNowhere(app::Player* asking) {
    // A sound the effects could not start (all channels busy, no device) plays nowhere: the
    // book waiting for it goes on as if it had ended, once its worker has ended. Only the
    // player that asked is told.
    if (!session_ || &session_->GetPlayer() != asking || !asking->SoundWait()) {
        return;
    }
    if (asking->WorkerRunning()) {
        QTimer::singleShot(10, this, [this, asking] { SoundPlayedNowhere(asking); });
        return;
    }
    asking->SoundDone();
}

bool MainWindow::ShowMessage(const std::string& text, bool withCancel) {
    return gate_.Ask(text, withCancel);
}

void MainWindow::ScreenChanged() {
    view_->ScreenChanged();
}

void MainWindow::SetStageSize(int width, int height) {
    QMetaObject::invokeMethod(
        this,
        [this, width, height] {
            if (width > 0) {
                stageSize_.setWidth(width);
            }
            if (height > 0) {
                stageSize_.setHeight(height);
            }
            FitWindowToStage();
            KeepInsideWorkArea();  // a larger stage may reach past the desktop's edge
        },
        Qt::QueuedConnection);
}

void MainWindow::RequestClose() {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

void MainWindow::SetTitle(const std::string& title) {
    const QString caption = title.empty() ? QString::fromUtf8(kCaption) : FromCp932(title);
    QMetaObject::invokeMethod(
        this, [this, caption] { setWindowTitle(caption); }, Qt::QueuedConnection);
}

bool MainWindow::SetCursor(const std::string& insidePath) {
    const std::string folder =
        session_ ? session_->GetInterpreter()->Book().Folder() : std::string();
    const auto host = host::FindHostPath(insidePath, host::HostPathOptions{folder});
    auto frames = host ? LoadCursorFile(QString::fromStdString(host->string())) : std::nullopt;
    const bool loaded = frames.has_value();
    QMetaObject::invokeMethod(
        this,
        [this, frames = std::move(frames)] {
            cursorTimer_.stop();
            cursorFrames_ = frames.value_or(std::vector<CursorFrame>{});
            cursorFrame_ = 0;
            ShowCursorFrame();
        },
        Qt::QueuedConnection);
    return loaded;
}

void MainWindow::ShowCursorFrame() {
    if (cursorHidden_) {
        view_->setCursor(Qt::BlankCursor);
        return;
    }
    if (cursorFrames_.empty()) {
        view_->unsetCursor();
        return;
    }
    const CursorFrame& frame = cursorFrames_[cursorFrame_];
    view_->setCursor(
        QCursor(QPixmap::fromImage(frame.image), frame.hotSpot.x(), frame.hotSpot.y()));
    if (cursorFrames_.size() > 1 && frame.durationMs > 0) {
        cursorTimer_.start(frame.durationMs);  // runs only while an animated cursor is set
    }
}

void MainWindow::StartProgram(const std::string& program, const std::string& parameters,
                              const std::string& folder) {
    const std::string bookFolder = session_ ? session_->GetInterpreter()->Book().Folder() : "";
    const auto found = host::FindHostPath(program, host::HostPathOptions{bookFolder});
    const QString executable = found ? QString::fromStdString(found->string()) : FromCp932(program);
    const auto directory =
        host::FindHostPath(folder.empty() ? bookFolder : folder, host::HostPathOptions{bookFolder});
    const QString workingDirectory = directory ? QString::fromStdString(directory->string()) : "";
    const QStringList arguments = QProcess::splitCommand(FromCp932(parameters));
    QMetaObject::invokeMethod(
        this,
        [executable, arguments, workingDirectory] {
            QProcess::startDetached(executable, arguments, workingDirectory);
        },
        Qt::QueuedConnection);
}

void MainWindow::OpenWebAddress(const std::string& address) {
    const QUrl url(FromCp932(address));
    QMetaObject::invokeMethod(
        this, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
}

// ----- forms -----

void MainWindow::FormComplete() {
    if (!session_) {
        return;
    }
    session_->GetPlayer().ShowForm();
    if (interp::Form* form = session_->GetInterpreter()->CurrentForm()) {
        forms_->Show(*form);
    }
    view_->update();
}

int MainWindow::FormCommand(int id) {
    if (!session_) {
        return 0;
    }
    const int result = session_->GetPlayer().FormCommand(id);
    if (result == interp::kFormSubmitted) {
        forms_->Clear();
        setFocus();
    }
    return result;
}

// ----- the reader's input -----

void MainWindow::ClickAt(QPoint windowPoint) {
    if (!session_) {
        return;
    }
    app::Player& player = session_->GetPlayer();
    QPoint stagePoint;
    if (view_->ToStage(view_->mapFrom(this, windowPoint), stagePoint)) {
        player.MouseMove(stagePoint.x(), stagePoint.y());
    }
    player.Click();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Alt) {
        altAlone_ = !event->isAutoRepeat();
        return;
    }
    altAlone_ = false;
    if (session_ && session_->GetPlayer().FastForward()) {
        session_->GetPlayer().LeaveFastForward();  // every key ends fast-forward first
    }
    const KeyAction action = ActionForKey(event->key(), event->modifiers());
    switch (action.kind) {
        case KeyAction::kClick:
            if (session_) {
                cursorHidden_ = true;
                ShowCursorFrame();
            }
            ClickAt(mapFromGlobal(QCursor::pos()));
            return;
        case KeyAction::kClose:
            close();
            return;
        case KeyAction::kToggleFullScreen:
            SetDisplayMode(!fullScreen_, desktop_.windowScale);
            return;
        case KeyAction::kCommand: {
            std::atomic<int>* paused = session_ ? &session_->GetPlayer().uiPaused : nullptr;
            if (paused != nullptr && (event->modifiers() & Qt::ControlModifier)) {
                paused->store(1);
            }
            RunCommand(action.command);
            if (paused != nullptr && session_ && paused == &session_->GetPlayer().uiPaused) {
                paused->store(0);
            }
            return;
        }
        case KeyAction::kNone:
            QWidget::keyPressEvent(event);
            return;
    }
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Alt && altAlone_ && !event->isAutoRepeat()) {
        altAlone_ = false;
        ShowPopupMenu(fullScreen_ ? QPoint(0, 0) : mapToGlobal(QPoint(0, 0)));
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && session_) {
        app::Player& player = session_->GetPlayer();
        if (player.FastForward()) {
            player.LeaveFastForward();
        }
        if (!player.WorkerRunning()) {
            player.GotoNextChoice();
        }
        return;
    }
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ClickAt(event->position().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (cursorHidden_) {
        cursorHidden_ = false;
        ShowCursorFrame();
    }
    QPoint stagePoint;
    if (session_ && view_->ToStage(view_->mapFrom(this, event->position().toPoint()), stagePoint)) {
        session_->GetPlayer().MouseMove(stagePoint.x(), stagePoint.y());
    }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    ShowPopupMenu(event->globalPos());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile()) {
        event->acceptProposedAction();
        const QString file = urls.front().toLocalFile();  // the first one opens, the rest wait
        QMetaObject::invokeMethod(
            this, [this, file] { OpenBook(file.toStdString()); }, Qt::QueuedConnection);
    }
}

bool MainWindow::ShowPopupMenu(QPoint globalPoint) {
    if (session_ && session_->GetPlayer().FastForward()) {
        session_->GetPlayer().LeaveFastForward();
    }
    if (WorkerRunning()) {
        return false;  // the book is running or an effect draws
    }
    MenuState state;
    state.langMode = settings_.langMode;
    state.singleBook = launch_.singleBook;
    state.fullScreen = fullScreen_;
    state.windowScale = desktop_.windowScale;
    for (std::size_t i = 0; i < state.webAvailable.size(); ++i) {
        state.webAvailable[i] = !desktop_.webAddresses[i].empty();
    }
    QMenu menu(this);
    BuildPopupMenu(menu, state);
    if (session_) {
        session_->GetPlayer().uiPaused = 1;
    }
    const QAction* chosen = menu.exec(globalPoint);
    if (session_) {
        session_->GetPlayer().uiPaused = 0;
    }
    if (chosen != nullptr) {
        RunCommand(chosen->data().toInt());
    }
    return true;
}

// ----- commands -----

void MainWindow::Say(const QString& japanese, const QString& english) {
    gate_.Ask(ToCp932(settings_.langMode == 0 ? japanese : english), false);
}

void MainWindow::RunCommand(int id) {
    app::Player* player = session_ ? &session_->GetPlayer() : nullptr;
    switch (id) {
        case command::kOpen:
            if (!launch_.singleBook) {
                OpenDialog();
            }
            return;
        case command::kGotoNextChoice:
            if (player != nullptr) {
                player->GotoNextChoice();
            }
            return;
        case command::kCloseWindow:
            CloseWindowCommand();
            return;
        case command::kSave:
            bookmarks_->Save();
            return;
        case command::kLoad:
            bookmarks_->Load();
            return;
        case command::kBookmarkMenu:
            bookmarks_->Menu();
            return;
        case command::kSetting:
            SettingsDialog();
            return;
        case command::kSavePicture:
            SavePicture();
            return;
        case command::kFullScreen:
            SetDisplayMode(true, desktop_.windowScale);
            return;
        case command::kWindow:
            SetDisplayMode(false, desktop_.windowScale);
            return;
        case command::kHelp:
            OpenDocument(QStringLiteral("readme.html"));
            return;
        case command::kTags:
            OpenDocument(QStringLiteral("talu_ref/index.html"));
            return;
        case command::kAbout:
            if (player != nullptr) {
                player->uiPaused = 1;
            }
            ShowAboutBox(this, settings_.langMode);
            if (player != nullptr) {
                player->uiPaused = 0;
            }
            return;
        case command::kDebug:
            if (!launch_.singleBook && !fullScreen_) {
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
    const QString chosen =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open TALU book"), start,
                                     QStringLiteral("TALU book  (*.talu);;All Files (*)"));
    if (!chosen.isEmpty()) {
        OpenBook(chosen.toStdString());
    }
}

void MainWindow::CloseWindowCommand() {
    if (!session_) {
        return;
    }
    app::Player& player = *&session_->GetPlayer();
    if (player.WorkerRunning() || player.FormPending() || player.SoundWait() ||
        player.FastForward() || player.ChoicePending() || player.textWindowHidden.load() != 0) {
        return;
    }
    player.textWindowHidden = 1;
    session_->GetInterpreter()->Window().HideWindow(true);
    view_->update();
}

void MainWindow::SettingsDialog() {
    app::Player* player = session_ ? &session_->GetPlayer() : nullptr;
    if (player != nullptr && fullScreen_) {
        player->uiPaused = 1;
    }
    qt::SettingsDialog dialog(settings_, desktop_, settings_.langMode, this);
    if (dialog.exec() == QDialog::Accepted) {
        const qt::SettingsDialog::Outcome outcome = dialog.Apply();
        if (session_ && session_->Music() != nullptr) {
            // Off stops the music and keeps its source for bookmarks; on waits for the next BGM.
            session_->Music()->SetEnabled(settings_.useCD.current != 0);
        }
        WriteSettings();
        view_->SetFit(fullScreen_, desktop_.smoothScaling != 0);
        if (outcome.redraw && session_) {
            session_->GetPlayer().Redisplay();
        }
    }
    if (player != nullptr) {
        player->uiPaused = 0;
    }
}

void MainWindow::SavePicture() {
    if (!session_) {
        return;
    }
    bool failed = false;
    SavePictureWithDialog(this, session_->GetScreen(), settings_.jpeg, failed);
    if (failed) {
        Say(QString::fromUtf8("セーブに失敗しました"), QStringLiteral("Save fail."));
    }
    if (!fullScreen_) {
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
    app::Player* player = session_ ? &session_->GetPlayer() : nullptr;
    if (player != nullptr && player->FastForward()) {
        player->LeaveFastForward();
    }
    if (!fullScreen_) {
        settings_.windowLeft = frameGeometry().x();
        settings_.windowTop = frameGeometry().y();
    }
    if (player != nullptr) {
        player->uiPaused = 1;
    }
    const bool ok =
        gate_.Ask(script::PlayerMessage(settings_.langMode, script::msg::kExitQuestion), true);
    if (session_) {
        session_->GetPlayer().uiPaused = 0;
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
