#pragma once

#include <QKeyEvent>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "app/input_bindings.h"

namespace talu::qt {

/// The window's key presses through the reader's bindings onto its actions. A held action
/// (skip while held) lasts from its key's press to its release; on a modifier alone it starts
/// only once the modifier was held alone a moment, so Ctrl+S never skips pages first. Any
/// other action on a modifier alone happens when the modifier is let go with no key pressed
/// meanwhile (Alt alone: the menu). A held key's repeats act only for the actions that repeat
/// (reading on, the links), never for a toggle.
class KeyRouter {
  public:
    struct Window {
        std::function<const app::InputBindings&()> bindings;
        /// Carries an action out: pressed, or let go (MainWindow::DoAction).
        std::function<void(app::ReaderAction, bool pressed)> act;
        /// A key that gives no action was pressed (every key still ends fast-forward).
        std::function<void()> unbound;
    };

    explicit KeyRouter(Window window);

    /// True when the press was a bound key's (or a modifier's awaiting its release).
    bool Press(const QKeyEvent& event);
    /// True when the release ended or gave an action.
    bool Release(const QKeyEvent& event);
    /// The window lost the keyboard: no release will come, so what is held ends now.
    void LetGo();

  private:
    /// A key and the action it gave.
    struct Down {
        int key = 0;
        app::ReaderAction action{};
    };
    bool PressModifier(const QKeyEvent& event, std::optional<app::ReaderAction> action);

    Window window_;
    /// The held action of the modifier that is down, and the timer that starts it.
    std::optional<Down> holdModifier_;
    QTimer holdDelay_;
    /// The action of the modifier pressed with no key after it yet.
    std::optional<Down> aloneModifier_;
    /// Held actions started by ordinary keys that are still down.
    std::vector<Down> held_;
};

}  // namespace talu::qt
