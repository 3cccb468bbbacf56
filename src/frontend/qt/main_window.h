#pragma once

#include <QCursor>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/session.h"
#include "app/settings.h"
#include "app/shell.h"
#include "frontend/qt/cursor_file.h"
#include "frontend/qt/debug_window.h"
#include "frontend/qt/desktop_settings.h"
#include "frontend/qt/launch_options.h"
#include "frontend/qt/message_gate.h"
#include "frontend/qt/qt_language.h"
#include "host/audio/sdl_audio_device.h"
#include "host/clock.h"

namespace talu::qt {

class BookmarkCommands;
class FormOverlay;
class QtSettingsStore;
class StageView;

/// The player's one window: shows the stage, takes the reader's mouse, keys, menu and dropped
/// files, and carries the player's messages from the worker to the interface thread.
class MainWindow : public QWidget, private app::Shell {
  public:
    /// settings, desktop and store outlive the window; they are written when it closes.
    MainWindow(app::Settings& settings, DesktopSettings& desktop, QtSettingsStore& store,
               const LaunchOptions& launch);
    ~MainWindow() override;

    /// Opens a book (the first one decides the display mode); a book that cannot be read gets
    /// a message box and the window stays as it was. False then.
    bool OpenBook(const std::filesystem::path& book);
    /// Runs a command of the menu or keys (see commands.h).
    void RunCommand(int id);
    /// Shows the popup menu at a global point; false (and nothing shown) while the book runs.
    bool ShowPopupMenu(QPoint globalPoint);
    /// Switches between full screen and the window at a scale (1 to 3).
    void SetDisplayMode(bool fullScreen, int scale);
    /// The reader's click at a point of the window (left button released, Enter, Space).
    void ClickAt(QPoint windowPoint);

    /// The open book, or null.
    app::Session* Session() { return session_.get(); }
    StageView& View() { return *view_; }
    FormOverlay& Forms() { return *forms_; }
    /// The debug window, made at its first use.
    DebugWindow& Debug();
    MessageGate& Gate() { return gate_; }
    /// The sound card; null until the first book.
    host::SdlAudioDevice* Audio() { return audio_.get(); }
    BookmarkCommands& Bookmarks() { return *bookmarks_; }
    bool FullScreen() const { return fullScreen_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // Shell, called by the worker.
    void Post(app::PlayerMessage message) override;
    bool ShowMessage(const std::string& text, bool withCancel) override;
    void ScreenChanged() override;
    void SetStageSize(int width, int height) override;
    void RequestClose() override;
    void SetTitle(const std::string& title) override;
    bool SetCursor(const std::string& insidePath) override;
    void StartProgram(const std::string& program, const std::string& parameters,
                      const std::string& folder) override;
    void OpenWebAddress(const std::string& address) override;

    void CloseBook();
    void SoundPlayedNowhere(app::Player* asking);
    void EndRunForLoad();
    void ChooseDisplayMode();
    void FitWindowToStage();
    void KeepInsideWorkArea();
    void PlaceWindow();
    void FormComplete();
    int FormCommand(int id);
    void OpenDialog();
    void SettingsDialog();
    void SavePicture();
    void CloseWindowCommand();
    void OpenDocument(const QString& target);
    void ShowCursorFrame();
    void Say(const QString& japanese, const QString& english);
    void WriteSettings();
    bool WorkerRunning();

    app::Settings& settings_;
    DesktopSettings& desktop_;
    QtSettingsStore& store_;
    LaunchOptions launch_;
    StageView* view_ = nullptr;
    DebugItems debugItems_;
    DebugWindow::Actions debugActions_;
    DebugWindow* debug_ = nullptr;
    std::unique_ptr<FormOverlay> forms_;
    std::unique_ptr<BookmarkCommands> bookmarks_;
    // Counts the books closed, so a message of a book that is gone is dropped.
    std::atomic<int> booksClosed_{0};
    MessageGate gate_;
    QtLanguage qtLanguage_;
    // The book's pauses sleep here; declared before the session that sleeps on it.
    host::SteadyClock clock_;
    // Made with the first book and kept for the next ones; declared before the session that
    // plays on it.
    std::unique_ptr<host::SdlAudioDevice> audio_;
    std::unique_ptr<app::Session> session_;
    QSize stageSize_{640, 480};
    bool fullScreen_ = false;
    bool displayChosen_ = false;
    bool closeConfirmed_ = false;
    bool cursorHidden_ = false;
    bool altAlone_ = false;
    std::vector<CursorFrame> cursorFrames_;
    std::size_t cursorFrame_ = 0;
    QTimer cursorTimer_;
};

}  // namespace talu::qt
