#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/reader_actions.h"
#include "app/settings_store.h"

namespace talu::app {

/// Which keys and gamepad buttons give which reader action: the defaults of ReaderActions(),
/// changed by the reader. No key or button gives two actions. Interface thread only.
class InputBindings {
  public:
    /// The default keys and buttons.
    InputBindings();

    /// The action a key gives (Qt's portable key text, "Ctrl+S"), if any.
    std::optional<ReaderAction> ActionForKey(std::string_view key) const;
    /// The action a gamepad button gives (SDL's game-controller name, "a"), if any.
    std::optional<ReaderAction> ActionForButton(std::string_view button) const;
    const std::vector<std::string>& Keys(ReaderAction action) const;
    const std::vector<std::string>& Buttons(ReaderAction action) const;

    /// Gives action these keys instead of its own, in their order; names no key can have
    /// (empty, too long, control characters) and repeats are dropped. The caller refuses a key
    /// another action has (ActionForKey): one given twice would give only the first action in
    /// the list's order.
    void SetKeys(ReaderAction action, std::vector<std::string> keys);
    /// Gives action these buttons instead of its own; names that are no SDL button are
    /// dropped, and the caller refuses one another action has, as for keys.
    void SetButtons(ReaderAction action, std::vector<std::string> buttons);
    /// Drops every key unknown says no key press can give (the window knows the names).
    void DropKeys(const std::function<bool(std::string_view)>& unknown);

    /// Reads the reader's changes: group "KEYS" (keys) and "PAD" (buttons) have an entry for
    /// each action whose inputs the reader changed, under its settings key; an empty entry
    /// means none. An action without an entry keeps what it has. Names that cannot be read
    /// are dropped, and an input stored for two actions stays with the first in list order.
    void Read(const SettingsStore& store);
    /// Writes the actions whose inputs differ from their defaults and removes the entries of
    /// the others, so a later version's defaults reach the actions the reader left alone.
    void Write(SettingsStore& store) const;

    bool operator==(const InputBindings&) const = default;

  private:
    struct Inputs {
        std::vector<std::string> keys;
        std::vector<std::string> buttons;
        bool operator==(const Inputs&) const = default;
    };
    static constexpr std::size_t kActionCount = static_cast<std::size_t>(ReaderAction::kQuit) + 1;
    Inputs& At(ReaderAction action) { return inputs_[static_cast<std::size_t>(action)]; }
    /// Keeps each key and button with the first action in list order that has it.
    void DropTaken();

    std::array<Inputs, kActionCount> inputs_;
};

}  // namespace talu::app
