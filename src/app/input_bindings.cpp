#include "app/input_bindings.h"

#include <algorithm>
#include <set>

#include "script/numbers.h"

namespace talu::app {
namespace {

constexpr std::string_view kKeysGroup = "KEYS";
constexpr std::string_view kPadGroup = "PAD";
// Between the names of one entry. No key's text has a space beside a bar (the bar key alone is
// "|", with modifiers "Ctrl+|"; names of several words, "Volume Up", have no bar) nor at
// either end, so every " | " of an entry separates.
constexpr std::string_view kSeparator = " | ";
// Far above any real entry: longer ones are not ours and are ignored whole.
constexpr std::size_t kMaxEntryBytes = 4096;
constexpr std::size_t kMaxNameBytes = 64;
constexpr std::size_t kMaxNamesPerAction = 16;

std::optional<ReaderAction> Find(std::string_view name, auto inputsOf) {
    for (const ReaderActionInfo& info : ReaderActions()) {
        const std::vector<std::string>& names = inputsOf(info.action);
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            return info.action;
        }
    }
    return std::nullopt;
}

bool IsKeyName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes || name.front() == ' ' || name.back() == ' ' ||
        name.find(" |") != std::string_view::npos || name.find("| ") != std::string_view::npos) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

bool IsButtonName(std::string_view name) {
    const auto names = GamepadButtonNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

/// Keeps the valid names, each once, at most kMaxNamesPerAction of them.
std::vector<std::string> Valid(std::vector<std::string> names, bool (*valid)(std::string_view)) {
    std::vector<std::string> kept;
    for (std::string& name : names) {
        if (kept.size() < kMaxNamesPerAction && valid(name) &&
            std::find(kept.begin(), kept.end(), name) == kept.end()) {
            kept.push_back(std::move(name));
        }
    }
    return kept;
}

// A store may hold only its own encoding's text (the desktop's converts to CP932), so the
// names are kept in ASCII: bytes above it, and the escape sign itself, as %XX.
std::string Escaped(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || c == '%') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

/// The name an escaped one stands for; nullopt for a broken escape.
std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? script::HexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? script::HexDigit(text[i + 2]) : -1;
        if (low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += out.empty() ? "" : kSeparator;
        out += Escaped(name);
    }
    return out;
}

std::vector<std::string> Split(std::string_view entry) {
    std::vector<std::string> names;
    while (!entry.empty()) {
        const std::size_t end = entry.find(kSeparator);
        if (std::optional<std::string> name = Unescaped(entry.substr(0, end))) {
            names.push_back(std::move(*name));
        }
        if (end == std::string_view::npos) {
            break;
        }
        entry.remove_prefix(end + kSeparator.size());
    }
    return names;
}

bool SameNames(const std::vector<std::string>& names, std::span<const std::string_view> defaults) {
    return std::equal(names.begin(), names.end(), defaults.begin(), defaults.end());
}

}  // namespace

InputBindings::InputBindings() {
    for (const ReaderActionInfo& info : ReaderActions()) {
        Inputs& inputs = At(info.action);
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

void InputBindings::SetKeys(ReaderAction action, std::vector<std::string> keys) {
    At(action).keys = Valid(std::move(keys), IsKeyName);
}

void InputBindings::SetButtons(ReaderAction action, std::vector<std::string> buttons) {
    At(action).buttons = Valid(std::move(buttons), IsButtonName);
}

void InputBindings::DropKeys(const std::function<bool(std::string_view)>& unknown) {
    for (Inputs& inputs : inputs_) {
        std::erase_if(inputs.keys, [&unknown](const std::string& key) { return unknown(key); });
    }
}

void InputBindings::Read(const SettingsStore& store) {
    for (const ReaderActionInfo& info : ReaderActions()) {
        const std::optional<std::string> keys = store.ReadString(kKeysGroup, info.key);
        if (keys && keys->size() <= kMaxEntryBytes) {
            SetKeys(info.action, Split(*keys));
        }
        const std::optional<std::string> buttons = store.ReadString(kPadGroup, info.key);
        if (buttons && buttons->size() <= kMaxEntryBytes) {
            SetButtons(info.action, Split(*buttons));
        }
    }
    DropTaken();
}

void InputBindings::Write(SettingsStore& store) const {
    for (const ReaderActionInfo& info : ReaderActions()) {
        const Inputs& inputs = inputs_[static_cast<std::size_t>(info.action)];
        if (SameNames(inputs.keys, info.keys)) {
            store.Remove(kKeysGroup, info.key);
        } else {
            store.WriteString(kKeysGroup, info.key, Joined(inputs.keys));
        }
        if (SameNames(inputs.buttons, info.buttons)) {
            store.Remove(kPadGroup, info.key);
        } else {
            store.WriteString(kPadGroup, info.key, Joined(inputs.buttons));
        }
    }
}

void InputBindings::DropTaken() {
    std::set<std::string, std::less<>> keys;
    std::set<std::string, std::less<>> buttons;
    for (Inputs& inputs : inputs_) {  // in list order: the table is indexed by action
        std::erase_if(inputs.keys,
                      [&keys](const std::string& key) { return !keys.insert(key).second; });
        std::erase_if(inputs.buttons, [&buttons](const std::string& button) {
            return !buttons.insert(button).second;
        });
    }
}

}  // namespace talu::app
