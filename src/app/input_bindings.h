#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/reader_actions.h"
#include "app/settings_store.h"

namespace talu::app {

/// Which keys and gamepad buttons give which reader action: the defaults of ReaderActions(),
/// changed by the reader. Interface thread only.
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

  private:
    struct Inputs {
        std::vector<std::string> keys;
        std::vector<std::string> buttons;
    };
    static constexpr std::size_t kActionCount = static_cast<std::size_t>(ReaderAction::kQuit) + 1;
    std::array<Inputs, kActionCount> inputs_;
};

}  // namespace talu::app
