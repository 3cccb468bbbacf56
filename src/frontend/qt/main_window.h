#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/reader_actions.h"
#include "app/recent_books.h"
#include "app/session.h"
#include "app/settings.h"
#include "frontend/qt/backlog_view.h"
#include "frontend/qt/cursor_animation.h"
#include "frontend/qt/debug_window.h"
#include "frontend/qt/desktop_settings.h"
#include "frontend/qt/launch_options.h"
#include "frontend/qt/message_gate.h"
#include "frontend/qt/qt_language.h"
#include "frontend/qt/window_display.h"
#include "frontend/qt/worker_adapter.h"
#include "host/audio/sdl_audio_device.h"
#include "host/clock.h"

namespace talu::qt {

class BookmarkCommands;
class FormOverlay;
class GamepadInput;
class KeyRouter;
class QtSettingsStore;
class StageNotes;
class ReadAlong;
class StageView;

/// The player's one window: shows the stage and maps the reader's mouse, keys, menu and dropped
/// files onto the session's reader commands.
class MainWindow : public QWidget {
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

    /// What a key or gamepad button asks: pressed, or let go (which only a held action
    /// heeds).
    void DoAction(app::ReaderAction action, bool pressed = true);

    /// Opens the backlog over the stage when the reader may look back now; the wait icon
    /// keeps still until it closes.
    void ShowBacklog();
    /// The backlog over the stage, or null.
    BacklogView* Backlog() { return backlog_; }

    /// The open book, or null.
    app::Session* Session() { return session_.get(); }
    StageView& View() { return *view_; }
    /// The marker and notices drawn over the stage.
    StageNotes& Notes() { return *notes_; }
    FormOverlay& Forms() { return *forms_; }
    /// The debug window, made at its first use.
    DebugWindow& Debug();
    MessageGate& Gate() { return gate_; }
    /// The sound card; null until the first book.
    host::SdlAudioDevice* Audio() { return audio_.get(); }
    BookmarkCommands& Bookmarks() { return *bookmarks_; }
    bool FullScreen() const { return display_->FullScreen(); }
    const WindowDisplay& Display() const { return *display_; }
    /// The clipboard, screen reader, read-aloud and text feed of each page.
    ReadAlong& PageFollowers() { return *readAlong_; }
    GamepadInput& Gamepads() { return *gamepads_; }

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
    void wheelEvent(QWheelEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;

  private:
    WorkerAdapter::Window AdapterWindow();
    /// The commands of the window itself: display, documents, language, dialogs.
    void RunWindowCommand(int id);
    bool MakeSession(const std::string& insideBook);
    /// Puts a book or archive just opened first among the recent books, and stores them.
    void RememberBook(const std::filesystem::path& book);
    /// Opens the i-th of the recent books the popup menu showed.
    void OpenRecentBook(std::size_t i);
    /// The recent books that still exist, for the popup menu; none in single-book mode.
    std::vector<QString> RecentMenuBooks();
    void CloseBook();
    void FormComplete();
    int FormCommand(int id);
    void OpenDialog();
    void SettingsDialog();
    void SavePicture();
    void OpenDocument(const QString& target);
    void Say(const QString& japanese, const QString& english);
    void WriteSettings();
    bool WorkerRunning();
    /// A pause of the wait icon while the window asks something; none without a book.
    std::optional<app::Player::PauseToken> PauseWhileAsking();
    void CloseBacklog();
    /// Wheel up opens the backlog; true when the event was taken for it.
    bool BacklogWheel(const QWheelEvent& event);
    /// The reader's commands of the open book, or null.
    app::ReaderCommands* Commands();
    /// The open book's inside folder; empty without a book.
    std::string BookFolder();
    /// Enter or Space: a focused form button is pressed; otherwise the highlighted link is
    /// taken, or the click goes where the mouse is.
    void PressKey();
    /// Whether a Tab press is the reader's action rather than a move among a form's fields:
    /// a step among links only at a choice, any other action always.
    bool TabIsAction(const QKeyEvent& key);
    /// The marker follows the reading mode.
    void ShowMode();
    /// Save and, when it saved, the notice over the stage.
    void SaveWithNotice();

    app::Settings& settings_;
    DesktopSettings& desktop_;
    QtSettingsStore& store_;
    LaunchOptions launch_;
    StageView* view_ = nullptr;
    std::unique_ptr<WindowDisplay> display_;
    std::unique_ptr<CursorAnimation> cursor_;
    DebugItems debugItems_;
    DebugWindow::Actions debugActions_;
    DebugWindow* debug_ = nullptr;
    std::unique_ptr<FormOverlay> forms_;
    std::unique_ptr<BookmarkCommands> bookmarks_;
    std::unique_ptr<ReadAlong> readAlong_;
    MessageGate gate_;
    WorkerAdapter adapter_;
    QtLanguage qtLanguage_;
    // The book's pauses sleep here; declared before the session that sleeps on it.
    host::SteadyClock clock_;
    // Made with the first book and kept for the next ones; declared before the session that
    // plays on it.
    std::unique_ptr<host::SdlAudioDevice> audio_;
    std::unique_ptr<app::Session> session_;
    app::RecentBooks recent_;
    QPointer<BacklogView> backlog_;
    std::optional<app::Player::PauseToken> backlogPause_;
    bool closeConfirmed_ = false;
    StageNotes* notes_ = nullptr;
    std::unique_ptr<KeyRouter> keys_;
    // The wheel's turn not yet given as clicks (a fine wheel sends parts of a notch).
    int wheelTurn_ = 0;
    std::unique_ptr<GamepadInput> gamepads_;
};

}  // namespace talu::qt
