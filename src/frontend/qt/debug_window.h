#pragma once

#include <QWidget>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "script/debug_feed.h"

class QLineEdit;

namespace talu::qt {

/// The author's debug window: the items around the reading position, the item number, slot 0's
/// Bookmark and Reload, and the value of a name or an expression. Modeless, beside the main
/// window; its language is the one in force when it is made. Named controls ("edit1000", ...)
/// carry the old ids.
class DebugWindow : public QWidget, public script::DebugFeed {
  public:
    /// value answers the value field (CP932 in and out; nullopt shows nothing); bookmark gets
    /// 1 for Bookmark and 2 for Reload.
    struct Actions {
        std::function<std::optional<std::string>(const std::string&)> value;
        std::function<void(int)> bookmark;
    };

    DebugWindow(int langMode, Actions actions, QWidget* parent = nullptr);

    /// Any thread: the book handed out an item. The fields follow on the interface thread.
    void ShowTags(std::string_view current, std::string_view next, std::string_view afterNext,
                  int index) override;
    /// The current item's text (CP932), for messages about it.
    std::string CurrentItem() const;
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
    struct Items {
        std::string current, before, beforeThat, next, afterNext;
        int index = 0;
    };
    void Refresh();

    Actions actions_;
    mutable std::mutex mutex_;  // the worker feeds, the interface thread shows
    Items items_;
    bool refreshQueued_ = false;
    QLineEdit* fields_[5] = {};
    QLineEdit* line_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* value_ = nullptr;
};

}  // namespace talu::qt
