#pragma once

#include <QKeyEvent>
#include <string>
#include <string_view>

#include "app/input_bindings.h"

namespace talu::qt {

/// A key press as the reader's bindings name it: Qt's portable text of the key with its
/// modifiers ("Ctrl+S", "Return", "PgDown"), the keypad's own modifier left out (the keypad's
/// Enter is "Enter"), Backtab as "Shift+Tab", a modifier pressed alone as "Ctrl", "Alt",
/// "Shift" or "Meta". Empty for a key Qt cannot name.
std::string KeyText(int key, Qt::KeyboardModifiers modifiers);
std::string KeyText(const QKeyEvent& event);

/// Ctrl, Alt, Shift or Meta: the keys that name a key alone only when let go alone.
bool IsModifierKey(int key);

/// Whether some key press has this text (a name read from the settings may have none).
bool IsKeyText(std::string_view text);

/// Drops the keys of bindings that no key press can give.
void DropUnknownKeys(app::InputBindings& bindings);

}  // namespace talu::qt
