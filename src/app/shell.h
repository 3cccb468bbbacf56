#pragma once

#include <cstdint>
#include <string>

namespace talu::app {

/// The player's own window messages, posted by the worker to the interface thread.
namespace message {
inline constexpr int kRestartWorker = 0x1402;
/// wParam: LOOP; lParam: TIME in the low 16 bits, 1 in the high 16 bits unless MODE is PASS.
inline constexpr int kBgm = 0x1403;
inline constexpr int kSoundDone = 0x1404;
inline constexpr int kSound = 0x1405;
/// lParam 1 saves slot 0, 2 loads it.
inline constexpr int kBookmark = 0x1406;
inline constexpr int kAutoBookmark = 0x1407;
inline constexpr int kMessageBox = 0x1408;
/// wParam 33: the form is complete; the interface thread calls Player::ShowForm.
inline constexpr int kForm = 0x1409;
}  // namespace message

/// The frontend as the run loop sees it: the desktop window, or the headless runner.
class Shell {
  public:
    virtual ~Shell() = default;
    /// Queues one of the player's messages for the interface thread; returns at once.
    virtual void Post(int message, std::intptr_t wParam, std::intptr_t lParam) = 0;
    /// Shows a modal box (caption "talu"; CP932 text) and returns when it is closed: true for
    /// OK. withCancel adds a Cancel button.
    virtual bool ShowMessage(const std::string& text, bool withCancel) = 0;
    /// STAGE: the window's client area follows the stage (0 keeps that side).
    virtual void SetStageSize(int width, int height) = 0;
    /// Asks the window to close; the close question follows.
    virtual void RequestClose() = 0;
    /// TITLE: the window's caption (CP932); empty restores the application's own caption. May be
    /// called from the worker.
    virtual void SetTitle(const std::string& title) = 0;
    /// CURSOR: loads the mouse cursor file at an inside path and makes it the window's cursor;
    /// false (and the default cursor) when it cannot be loaded. May be called from the worker.
    virtual bool SetCursor(const std::string& insidePath) = 0;
    /// COMMAND: starts program with parameters (CP932 texts as the book wrote them) in folder (an
    /// inside path, empty for the book's own); a start the system refuses is not reported.
    virtual void StartProgram(const std::string& program, const std::string& parameters,
                              const std::string& folder) = 0;
    /// COMMAND: opens a web address in the reader's browser.
    virtual void OpenWebAddress(const std::string& address) = 0;
};

}  // namespace talu::app
