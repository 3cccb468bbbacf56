#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "script/debug_feed.h"

namespace talu::qt {

class DebugWindow;

/// The items around the reading position, kept from the book's first item on, so the debug
/// window can be made only when the reader (or a failing stage tag) first asks for it and still
/// show where the book is. Fed by the worker; the window that exists is told to refresh.
class DebugItems : public script::DebugFeed {
  public:
    struct Items {
        std::string current, before, beforeThat, next, afterNext;
        int index = 0;
    };

    /// Any thread: the book handed out an item.
    void ShowTags(std::string_view current, std::string_view next, std::string_view afterNext,
                  int index) override;
    Items Snapshot() const;
    /// The current item's text (CP932), for messages about it.
    std::string CurrentItem() const;

    /// Interface thread: window (or null) shows the items from now on; it refreshes once for
    /// however many items arrived before it ran.
    void SetWindow(DebugWindow* window);
    /// Interface thread, in the window's refresh: later items queue a new refresh.
    void RefreshDone();

  private:
    mutable std::mutex mutex_;  // the worker feeds, the interface thread shows
    Items items_;
    DebugWindow* window_ = nullptr;
    bool refreshQueued_ = false;
};

}  // namespace talu::qt
