#include "app/backlog.h"

#include <utility>

namespace talu::app {

void Backlog::PageStarted(std::shared_ptr<const PageSavePoint> point) {
    std::lock_guard lock(mutex_);
    ++serial_;
    nextPoint_ = std::move(point);
    pageOpen_ = false;
}

void Backlog::PageShown(const ShownPage& page) {
    std::lock_guard lock(mutex_);
    if (pageOpen_ && !pages_.empty()) {
        pages_.back().entry.text = page.text;
        return;
    }
    pages_.push_back(Page{BacklogEntry{page.text, {}}, std::move(nextPoint_), serial_});
    nextPoint_.reset();
    pageOpen_ = true;
    if (pages_.size() > kMaxEntries) {
        pages_.pop_front();
    }
    // Only the last pages can be returned to: older save points go.
    if (pages_.size() > kMaxSavePoints) {
        pages_[pages_.size() - kMaxSavePoints - 1].point.reset();
    }
}

void Backlog::LinkChosen(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (!pages_.empty()) {
        pages_.back().entry.chosen = text;
    }
}

void Backlog::MarkSavePoint(bool pageTyped) {
    std::lock_guard lock(mutex_);
    savedSerial_ = pageTyped || serial_ == 0 ? serial_ : serial_ - 1;
}

std::vector<BacklogEntry> Backlog::Entries() const {
    std::lock_guard lock(mutex_);
    std::vector<BacklogEntry> entries;
    entries.reserve(pages_.size());
    for (const Page& page : pages_) {
        entries.push_back(page.entry);
    }
    return entries;
}

std::vector<BacklogEntry> Backlog::SlotEntries() const {
    std::lock_guard lock(mutex_);
    std::vector<BacklogEntry> entries;
    for (const Page& page : pages_) {
        if (page.serial <= savedSerial_) {
            entries.push_back(page.entry);
        }
    }
    return entries;
}

std::size_t Backlog::Size() const {
    std::lock_guard lock(mutex_);
    return pages_.size();
}

std::shared_ptr<const PageSavePoint> Backlog::SavePointOf(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return index < pages_.size() ? pages_[index].point : nullptr;
}

void Backlog::ReturnTo(std::size_t index) {
    std::lock_guard lock(mutex_);
    if (index < pages_.size()) {
        pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(index), pages_.end());
    }
    // The bookmark's place is now where the returned page begins, before it.
    savedSerial_ = serial_;
    nextPoint_.reset();
    pageOpen_ = false;
}

void Backlog::Replace(std::vector<BacklogEntry> entries) {
    std::lock_guard lock(mutex_);
    pages_.clear();
    const std::size_t skip = entries.size() > kMaxEntries ? entries.size() - kMaxEntries : 0;
    for (std::size_t i = skip; i < entries.size(); ++i) {
        pages_.push_back(Page{std::move(entries[i]), nullptr, 0});
    }
    serial_ = 0;
    savedSerial_ = 0;
    nextPoint_.reset();
    pageOpen_ = false;
}

void Backlog::Clear() {
    Replace({});
}

}  // namespace talu::app
