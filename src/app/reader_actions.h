#pragma once

#include <span>
#include <string_view>

namespace talu::app {

/// What a key or a gamepad button asks of the reader's window. Each maps onto ReaderCommands
/// (or onto the window itself: the menu, full screen), so every input reaches the same command.
enum class ReaderAction {
    kReadOn,          ///< a click: the page goes on, the highlighted link is taken
    kChoiceNext,      ///< the highlight moves to the next link (a menu's next item)
    kChoicePrevious,  ///< the highlight moves to the previous link (a menu's previous item)
    kGotoNextChoice,
    kSkip,      ///< skip read text, toggled
    kHoldSkip,  ///< skip while held
    kAuto,      ///< auto, toggled
    kBacklog,
    kMenu,  ///< the popup menu, opened or closed
    kCloseWindow,
    kSave,
    kLoad,
    kBookmarks,
    kSavePicture,
    kSettings,
    kOpen,
    kFullScreen,
    kClose,  ///< the close question
    kQuit,
};

/// An action with the names it is listed and stored under and its default inputs.
struct ReaderActionInfo {
    ReaderAction action;
    /// The settings key (ASCII, stable).
    std::string_view key;
    std::string_view japanese;
    std::string_view english;
    /// Keys as Qt's portable key text ("Ctrl+S", "Return"), the keys the window always had.
    std::span<const std::string_view> keys;
    /// Buttons by SDL's game-controller names ("a", "dpdown", "leftshoulder").
    std::span<const std::string_view> buttons;
};

/// Every action, in the order a list shows them.
std::span<const ReaderActionInfo> ReaderActions();

/// The entry of action.
const ReaderActionInfo& InfoOf(ReaderAction action);

/// An action that lasts while its key or button is held (skip while held): pressed starts it,
/// let go ends it.
bool IsHeld(ReaderAction action);

/// An action a held key repeats (reading on, stepping among links); the others (the toggles,
/// the dialogs) happen once per press.
bool Repeats(ReaderAction action);

/// The gamepad buttons by SDL's game-controller names, in SDL's order: the ones a binding may
/// name.
std::span<const std::string_view> GamepadButtonNames();

}  // namespace talu::app
