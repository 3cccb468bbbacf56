#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "app/page_ranges.h"

namespace talu::app {

/// The pages read in the open book, kept across readings in a small file beside the book's memo
/// (BOOK.read, or in the bookmark folder where the book's folder takes no files). The worker
/// records and checks pages while the interface thread binds and saves: every method locks.
class ReadPages {
  public:
    /// A larger file is no file of ours: it is read as empty. (Far above a long book read
    /// through many times; its worst case, all single pages, holds some 25 MB of ranges.)
    static constexpr std::size_t kMaxFileBytes = std::size_t{1} << 20;
    /// New pages recorded between two writes of the file.
    static constexpr int kSaveEvery = 50;

    /// Where the file goes: its inside path and a way to make its folder (the spare folder);
    /// either may be empty.
    struct Place {
        std::string path;
        std::function<bool()> makeFolder;
    };

    /// Saves what the book before recorded, then forgets it and reads the file at place (a
    /// missing, foreign, oversized or irregular file gives no pages; a damaged one what was read
    /// before the damage). bookFolder (an inside folder) is cut from the files recorded. An
    /// empty path keeps nothing on disk: pages are kept for this reading only.
    void Bind(Place place, std::string bookFolder);
    /// Saves, then forgets the book.
    void Unbind();
    /// Whether the page of a book file (inside path) at an item index was read.
    bool Contains(std::string_view file, int index) const;
    /// Records a page read; every kSaveEvery new pages the file is written. True when the page
    /// was new.
    bool Record(std::string_view file, int index);
    /// Writes the file when pages were recorded since it was last written. False when that
    /// failed (the pages stay, to be written next time).
    bool Save();

  private:
    std::string Key(std::string_view file) const;
    bool SaveLocked();

    mutable std::mutex mutex_;
    Place place_;
    std::string bookFolder_;
    PageRanges pages_;
    int unsaved_ = 0;
};

}  // namespace talu::app
