#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "frontend/qt/debug_items.h"
#include "frontend/qt/thread_handoff.h"

class QLineEdit;

namespace talu::qt {

/// The author's debug window: the items around the reading position, the item number, slot 0's
/// Bookmark and Reload, and the value of a name or an expression. Modeless, beside the main
/// window; its language is the one in force when it is made. Named controls ("edit1000", ...)
/// carry the old ids.
class DebugWindow : public QWidget {
  public:
    /// value answers the value field (CP932 in and out; nullopt shows nothing); bookmark gets
    /// 1 for Bookmark and 2 for Reload.
    struct Actions {
        std::function<std::optional<std::string>(const std::string&)> value;
        std::function<void(int)> bookmark;
    };

    /// Shows items (which outlive the window) as the book hands them out.
    DebugWindow(int langMode, Actions actions, DebugItems& items, QWidget* parent = nullptr);
    ~DebugWindow() override;

    /// Shows the window with its top-left corner at the main window's top-right corner,
    /// without taking the focus.
    void ShowBeside(const QWidget& main);
    /// Shows it beside main when hidden, hides it when shown.
    void Toggle(const QWidget& main);
    /// Shows the value of what the value field holds.
    void ShowValue();

  protected:
    void keyPressEvent(class QKeyEvent* event) override;

  private:
    friend class DebugItems;
    /// Shows the items as they are now.
    void Refresh();

    Actions actions_;
    DebugItems& items_;
    QLineEdit* fields_[5] = {};
    QLineEdit* line_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* value_ = nullptr;
    // The worker's items reach the window through it.
    ThreadHandoff* handoff_ = new ThreadHandoff(this);
};

}  // namespace talu::qt
