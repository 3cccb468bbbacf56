#pragma once

#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/input_bindings.h"
#include "host/input/sdl_gamepads.h"

namespace talu::qt {

class MainWindow;

/// Game controllers read on the interface thread and mapped onto the window's reader actions
/// through the reader's button bindings, or moved through the menu, boxes, backlog and form
/// while one is open. Controllers come and go while reading; several may be used at once. Only
/// while talu has the focus: a press made in another program is not ours.
class GamepadInput : public QObject {
  public:
    /// window and bindings outlive the input.
    GamepadInput(MainWindow& window, const app::InputBindings& bindings);
    ~GamepadInput() override;

    /// How often SDL is asked for events now, in ms: often while a controller is attached and
    /// talu has the focus, seldom otherwise (only to notice one plugged in).
    int PollInterval() const { return poll_.interval(); }
    std::size_t Attached() const;

    static constexpr int kFastPoll = 16;
    static constexpr int kSlowPoll = 500;

  private:
    /// SDL's controllers started, or, where they cannot be, never read.
    void Start();
    void Poll();
    /// The buttons read, in order.
    void Handle();
    void Press(const host::PadButton& button);
    /// The button's move over what is open, else its action.
    void Act(const std::string& name);
    void LetGo(const host::PadButton& button);
    /// Every button held is let go (the focus went elsewhere: no release will reach us).
    void LetGoAll();
    void Repeat();
    void Pace();

    MainWindow& window_;
    const app::InputBindings& bindings_;
    /// talu has the focus: one of its windows is the active one.
    bool focused_ = QGuiApplication::applicationState() == Qt::ApplicationActive;
    /// Null until started (or when SDL has no controllers to give).
    std::unique_ptr<host::SdlGamepads> pads_;
    QTimer poll_;
    /// A D-pad direction held goes on repeating.
    QTimer repeat_;
    host::PadButton repeating_;
    /// Buttons read but not yet handled: a press may open a menu or box whose own event loop
    /// polls and handles again, and the buttons must still be handled in the order they came.
    std::deque<host::PadButton> queue_;
    bool handlePosted_ = false;
    /// The presses handled whose release is still to come, by controller and name.
    std::vector<std::pair<std::int32_t, std::string>> held_;
};

}  // namespace talu::qt
