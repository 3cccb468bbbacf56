#include "frontend/qt/debug_items.h"

#include "frontend/qt/debug_window.h"

namespace talu::qt {

void DebugItems::ShowTags(std::string_view current, std::string_view next,
                          std::string_view afterNext, int index) {
    std::lock_guard lock(mutex_);
    items_.beforeThat = std::move(items_.before);
    items_.before = std::move(items_.current);
    items_.current = current;
    items_.next = next;
    items_.afterNext = afterNext;
    items_.index = index;
    if (window_ != nullptr && !refreshQueued_) {
        refreshQueued_ = true;
        DebugWindow* window = window_;
        window->handoff_->Post([window] { window->Refresh(); });
    }
}

DebugItems::Items DebugItems::Snapshot() const {
    std::lock_guard lock(mutex_);
    return items_;
}

std::string DebugItems::CurrentItem() const {
    std::lock_guard lock(mutex_);
    return items_.current;
}

void DebugItems::SetWindow(DebugWindow* window) {
    std::lock_guard lock(mutex_);
    window_ = window;
    refreshQueued_ = false;
}

void DebugItems::RefreshDone() {
    std::lock_guard lock(mutex_);
    refreshQueued_ = false;
}

}  // namespace talu::qt
