#include "app/input_bindings.h"

#include <algorithm>

namespace talu::app {
namespace {

std::optional<ReaderAction> Find(std::string_view name, auto inputsOf) {
    for (const ReaderActionInfo& info : ReaderActions()) {
        const std::vector<std::string>& names = inputsOf(info.action);
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            return info.action;
        }
    }
    return std::nullopt;
}

}  // namespace

InputBindings::InputBindings() {
    for (const ReaderActionInfo& info : ReaderActions()) {
        Inputs& inputs = inputs_[static_cast<std::size_t>(info.action)];
        inputs.keys.assign(info.keys.begin(), info.keys.end());
        inputs.buttons.assign(info.buttons.begin(), info.buttons.end());
    }
}

std::optional<ReaderAction> InputBindings::ActionForKey(std::string_view key) const {
    return Find(
        key, [this](ReaderAction action) -> const auto& { return Keys(action); });
}

std::optional<ReaderAction> InputBindings::ActionForButton(std::string_view button) const {
    return Find(
        button, [this](ReaderAction action) -> const auto& { return Buttons(action); });
}

const std::vector<std::string>& InputBindings::Keys(ReaderAction action) const {
    return inputs_[static_cast<std::size_t>(action)].keys;
}

const std::vector<std::string>& InputBindings::Buttons(ReaderAction action) const {
    return inputs_[static_cast<std::size_t>(action)].buttons;
}

}  // namespace talu::app
