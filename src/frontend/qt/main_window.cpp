#include "frontend/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

#include "app/debug_value.h"
#include "frontend/qt/about_box.h"
#include "frontend/qt/book_chooser.h"
#include "frontend/qt/bookmark_commands.h"
#include "frontend/qt/commands.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/gamepad_input.h"
#include "frontend/qt/key_router.h"
#include "frontend/qt/popup_menu.h"
#include "frontend/qt/qt_settings_store.h"
#include "frontend/qt/read_along.h"
#include "frontend/qt/save_picture.h"
#include "frontend/qt/settings_dialog.h"
#include "frontend/qt/stage_notes.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/ui_text.h"
#include "frontend/qt/window_audio.h"
#include "host/paths.h"
#include "script/messages.h"

namespace talu::qt {
namespace {

const char* const kCaption = "TALU Version 2.10.99.1011";

}  // namespace

MainWindow::MainWindow(app::Settings& settings, DesktopSettings& desktop, QtSettingsStore& store,
                       const LaunchOptions& launch)
    : settings_(settings),
      desktop_(desktop),
      store_(store),
      launch_(launch),
      gate_(this, settings.langMode),
      adapter_(AdapterWindow()) {
    keys_ = std::make_unique<KeyRouter>(KeyRouter::Window{
        [this]() -> const app::InputBindings& { return settings_.inputs; },
        [this](app::ReaderAction action, bool pressed) { DoAction(action, pressed); },
        [this] {
            if (app::ReaderCommands* commands = Commands()) {
                commands->LeaveFastForward();  // every key ends fast-forward
            }
        }});
    qtLanguage_.Apply(settings_.langMode);
    setWindowTitle(QString::fromUtf8(kCaption));
    setAcceptDrops(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    view_ = new StageView(this);
    notes_ = new StageNotes(*view_);
    display_ = std::make_unique<WindowDisplay>(*this, *view_, settings_, desktop_);
    cursor_ = std::make_unique<CursorAnimation>(*view_);
    forms_ = std::make_unique<FormOverlay>(*view_, [this](int id) { return FormCommand(id); });
    debugActions_.value = [this](const std::string& text) -> std::optional<std::string> {
        if (!session_ || WorkerRunning()) {
            return std::nullopt;  // the variables belong to the worker while it runs
        }
        return app::DebugValue(session_->GetInterpreter()->Variables(), text);
    };
    debugActions_.bookmark = [this](int which) {
        if (app::ReaderCommands* commands = Commands()) {
            which == 1 ? commands->SaveDebugSlot() : commands->LoadSlot(0);
        }
    };
    bookmarks_ = std::make_unique<BookmarkCommands>(BookmarkCommands::Window{
        this, [this] { return session_.get(); }, [this] { return settings_.langMode.load(); }});
    readAlong_ = std::make_unique<ReadAlong>(settings_.readAlong, *view_,
                                             [this] { return settings_.langMode.load(); });
    display_->SetMode(false, desktop_.windowScale);
    display_->Place();
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (app::ReaderCommands* commands = Commands()) {
                    commands->SetInBackground(state != Qt::ApplicationActive);
                }
            });
    recent_.Read(store_);
    gamepads_ = std::make_unique<GamepadInput>(*this, settings_.inputs);
    if (const QString problem = readAlong_->Apply(); !problem.isEmpty()) {
        QMetaObject::invokeMethod(  // told once the window is up
            this, [this, problem] { Say(problem, problem); }, Qt::QueuedConnection);
    }
}

MainWindow::~MainWindow() {
    CloseBook();
}

WorkerAdapter::Window MainWindow::AdapterWindow() {
    WorkerAdapter::Window window;
    window.context = this;
    window.gate = &gate_;
    window.screenChanged = [this] { view_->ScreenChanged(); };
    window.stageSize = [this](int width, int height) { display_->SetStageSize(width, height); };
    window.close = [this] { close(); };
    window.title = [this](const QString& caption) {
        setWindowTitle(caption.isEmpty() ? QString::fromUtf8(kCaption) : caption);
    };
    window.loadCursor = [this](const std::string& insidePath) {
        const auto host = host::FindHostPath(insidePath, host::HostPathOptions{BookFolder()});
        return host && cursor_->Load(host->string());
    };
    window.formComplete = [this] { FormComplete(); };
    window.autoBookmark = [this] { bookmarks_->OfferAutoLoad(); };
    window.startProgram = [](const QString& program, const QString& parameters,
                             const QString& folder) {
        QProcess::startDetached(program, QProcess::splitCommand(parameters), folder);
    };
    window.bookFolder = [this] { return BookFolder(); };
    window.readingEnds = [this] {
        adapter_.BookChanged();  // what the old reading still posts is dropped
        gate_.Close();           // a worker waiting for a box goes on at once, so the book ends
        forms_->Clear();
        cursor_->Forget();
        readAlong_->BookClosed();  // the loaded place is read along afresh
        QApplication::setOverrideCursor(Qt::WaitCursor);
    };
    window.modeChanged = [this] { ShowMode(); };
    window.readingResumes = [this] {
        QApplication::restoreOverrideCursor();
        gate_.Reopen();
    };
    window.pageShown = [this](const app::ShownPage& page) { readAlong_->Show(page); };
    return window;
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

app::ReaderCommands* MainWindow::Commands() {
    return session_ ? &session_->Commands() : nullptr;
}

std::string MainWindow::BookFolder() {
    app::Session* session = session_.get();
    return session != nullptr && session->GetInterpreter() != nullptr
               ? session->GetInterpreter()->Book().Folder()
               : std::string();
}

// ----- books -----

bool MainWindow::OpenBook(const std::filesystem::path& book) {
    const int lang = settings_.langMode;
    QString problem;
    std::optional<std::string> inside;
    {
        const auto paused = PauseWhileAsking();  // an archive of several books asks which
        inside = BookToOpen(this, book, lang, problem);
    }
    if (!inside && problem.isEmpty()) {
        return false;  // the reader chose none of an archive's books
    }
    if (inside) {
        if (!display_->Chosen()) {
            display_->Choose(launch_.display, settings_.langMode);
            if (desktop_.askDisplayMode == 0) {
                WriteSettings();  // the answer is kept at once, not only when the window closes
            }
        }
        CloseBook();
        if (!MakeSession(*inside)) {
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
    if (!display_->FullScreen()) {
        activateWindow();
        setFocus();
    }
    RememberBook(book);
    session_->StartBook();
    return true;
}

bool MainWindow::MakeSession(const std::string& insideBook) {
    app::SessionOptions options;
    options.shell = &adapter_;
    options.settings = &settings_;
    options.clock = &clock_;
    options.programFolder = host::ProgramFolder();
    options.debugFeed = &debugItems_;
    options.onStageFailure = [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!display_->FullScreen()) {
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
    if (!session_ || !session_->LoadBook(insideBook)) {
        session_.reset();
        return false;
    }
    session_->Commands().SetInBackground(QGuiApplication::applicationState() !=
                                         Qt::ApplicationActive);
    return true;
}

void MainWindow::CloseBook() {
    gate_.Close();  // a worker waiting for a box goes on at once
    forms_->Clear();
    CloseBacklog();  // its pause belongs to the book's player
    if (session_) {
        session_->CloseBook();  // a pause in progress ends at once
        session_->StopMedia();
        view_->SetScreen(nullptr);
        session_.reset();
    }
    ShowMode();
    adapter_.BookChanged();
    cursor_->Forget();
    readAlong_->BookClosed();
    gate_.Reopen();
}

// ----- the window -----

void MainWindow::SetDisplayMode(bool fullScreen, int scale) {
    display_->SetMode(fullScreen, scale);
    if (fullScreen && debug_ != nullptr) {
        debug_->hide();
    }
    forms_->Place();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!WorkerRunning()) {  // the old window did not react while an effect drew
        display_->KeepInside();
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        keys_->LetGo();
    }
    // Tab and Shift+Tab give their action (a step among the links only at a choice) rather
    // than move the focus among a form's fields.
    if (event->type() == QEvent::KeyPress && TabIsAction(*static_cast<QKeyEvent*>(event))) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::Resize) {
        view_->setGeometry(rect());
        forms_->Place();
    }
    return QWidget::event(event);
}

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

}  // namespace talu::qt
