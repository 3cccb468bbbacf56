#pragma once

#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>

#include "app/input_bindings.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace talu::qt {

/// A button that, once clicked, takes the next key press as a key to bind: any key, Escape
/// and Enter too, with its modifiers; a modifier pressed and let go alone is that modifier. A
/// second click, or the focus going elsewhere, stops waiting.
class KeyCapture : public QPushButton {
  public:
    KeyCapture(const QString& idle, const QString& waiting,
               std::function<void(const std::string&)> captured);
    bool Capturing() const { return capturing_; }

  protected:
    bool event(QEvent* event) override;

  private:
    void Start();
    void Stop();
    QString idle_;
    QString waiting_;
    std::function<void(const std::string&)> captured_;
    bool capturing_ = false;
    /// The modifier pressed with no key after it yet.
    int modifier_ = 0;
};

/// The Setting dialog's page of keys: every reader action, named in the reader's language,
/// with its keys and gamepad buttons. Changes go to a copy of the bindings that the dialog's
/// OK hands to the settings; a key or button another action has is refused, naming it.
class KeysPage : public QWidget {
  public:
    KeysPage(const app::InputBindings& bindings, int langMode, QWidget* parent = nullptr);

    const app::InputBindings& Bindings() const { return bindings_; }
    /// Selects the row of action.
    void Select(app::ReaderAction action);
    /// Binds key to the selected action, instead of its keys or beside them (add); false, with
    /// a message, when another action has it.
    bool TakeKey(const std::string& key, bool add);
    /// Gives the selected action this gamepad button alone (empty: none); false, with a
    /// message, when another action has it.
    bool TakeButton(const std::string& button);
    /// The refusal shown, or empty.
    QString Message() const;

  private:
    app::ReaderAction Selected() const;
    /// Who else has an input: the action's name, or empty when none or the selected one.
    QString TakenBy(std::optional<app::ReaderAction> owner) const;
    /// The selected action's default keys and buttons, unless another action has one.
    void RestoreSelected();
    void Refresh();
    void Refuse(const QString& message);

    app::InputBindings bindings_;
    int lang_ = 0;
    QTableWidget* table_ = nullptr;
    KeyCapture* change_ = nullptr;
    KeyCapture* add_ = nullptr;
    QComboBox* button_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace talu::qt
