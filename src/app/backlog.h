#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/page_save_point.h"
#include "app/shown_page.h"

namespace talu::app {

/// One page of the backlog: its text as the reader saw it and the link taken on it (UTF-8;
/// empty when none was).
struct BacklogEntry {
    std::string text;
    std::string chosen;
    friend bool operator==(const BacklogEntry&, const BacklogEntry&) = default;
};

/// The pages of the current reading in order, the last ones with the place each began, so the
/// reader can look back and return. Pages arrive on the worker; everything else is called on the
/// interface thread while no worker runs. Guarded by its own lock.
class Backlog {
  public:
    /// The pages kept, and how many of the last of them keep their save point.
    static constexpr std::size_t kMaxEntries = 500;
    static constexpr std::size_t kMaxSavePoints = 100;

    /// A page begins; going back to it resumes at point (null: it cannot be returned to).
    void PageStarted(std::shared_ptr<const PageSavePoint> point);
    /// The book stops at a page: the first stop opens its entry, later stops on the same page
    /// (line and click waits) bring its text up to date.
    void PageShown(const ShownPage& page);
    /// The reader took a link on the last page.
    void LinkChosen(const std::string& text);
    /// The bookmark manager recorded its place: a slot saved from now on keeps the pages begun
    /// so far, the current one only when something of it was typed (else a load types it).
    void MarkSavePoint(bool pageTyped);

    std::vector<BacklogEntry> Entries() const;
    /// The pages a slot saved now keeps: those begun before the bookmark's place.
    std::vector<BacklogEntry> SlotEntries() const;
    std::size_t Size() const;
    /// The place entry index began; null when it cannot be returned to.
    std::shared_ptr<const PageSavePoint> SavePointOf(std::size_t index) const;
    /// The reading returned to entry index: it and the later ones go, and the next page takes
    /// its place with the same save point.
    void ReturnTo(std::size_t index);
    /// A loaded slot's pages replace the reading's (they have no save points).
    void Replace(std::vector<BacklogEntry> entries);
    void Clear();

  private:
    struct Page {
        BacklogEntry entry;
        std::shared_ptr<const PageSavePoint> point;
        std::uint64_t serial = 0;
    };

    mutable std::mutex mutex_;
    std::deque<Page> pages_;
    std::shared_ptr<const PageSavePoint> nextPoint_;
    // Pages are numbered as they begin; the last one's entry stays open until the next begins.
    std::uint64_t serial_ = 0;
    std::uint64_t savedSerial_ = 0;
    bool pageOpen_ = false;
};

}  // namespace talu::app
