#include "frontend/qt/key_text.h"

#include <QKeySequence>

namespace talu::qt {
namespace {

constexpr Qt::KeyboardModifiers kNamedModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;

const char* ModifierName(int key) {
    switch (key) {
        case Qt::Key_Control:
            return "Ctrl";
        case Qt::Key_Alt:
            return "Alt";
        case Qt::Key_Shift:
            return "Shift";
        case Qt::Key_Meta:
            return "Meta";
        default:
            return nullptr;
    }
}

}  // namespace

std::string KeyText(int key, Qt::KeyboardModifiers modifiers) {
    if (const char* name = ModifierName(key)) {
        return name;
    }
    if (key == 0 || key == Qt::Key_unknown) {
        return {};
    }
    modifiers &= kNamedModifiers;
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        modifiers |= Qt::ShiftModifier;
    }
    const QKeySequence sequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
    return sequence.toString(QKeySequence::PortableText).toStdString();
}

std::string KeyText(const QKeyEvent& event) {
    return KeyText(event.key(), event.modifiers());
}

bool IsModifierKey(int key) {
    return ModifierName(key) != nullptr;
}

bool IsKeyText(std::string_view text) {
    const QString name = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (int modifier : {Qt::Key_Control, Qt::Key_Alt, Qt::Key_Shift, Qt::Key_Meta}) {
        if (text == ModifierName(modifier)) {
            return true;
        }
    }
    const QKeySequence sequence = QKeySequence::fromString(name, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) {
        return false;
    }
    // Read back the way a press is named: "ctrl+s" or "Shift+Backtab" are no press's text.
    return KeyText(sequence[0].key(), sequence[0].keyboardModifiers()) == text;
}

void DropUnknownKeys(app::InputBindings& bindings) {
    bindings.DropKeys([](std::string_view key) { return !IsKeyText(key); });
}

}  // namespace talu::qt
