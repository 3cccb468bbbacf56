#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace talu::app {

/// The pages a reader has seen, per book file: each file's item indexes as sorted, disjoint
/// ranges, so a book read through costs a few numbers however long it is. Not thread-safe.
///
/// Text form, one book file per line after the header, each line ending with a newline:
///   talu read pages 1
///   FILE<TAB>FIRST[-LAST][,FIRST[-LAST]...]
class PageRanges {
  public:
    /// The first line of the text form.
    static constexpr std::string_view kHeader = "talu read pages 1";
    /// Item indexes above this are no page of any book we read.
    static constexpr int kMaxIndex = 999999999;
    /// A longer file name is no book file's.
    static constexpr std::size_t kMaxFileName = 1024;

    bool Contains(std::string_view file, int index) const;
    /// Adds a page; true when it was not there before. An index out of 0..kMaxIndex, or a file
    /// name the text form cannot hold, is not kept (false).
    bool Insert(std::string_view file, int index);
    /// The text form.
    std::string Text() const;
    /// Replaces the pages with those of a text form. Foreign text (no header) gives none; damaged
    /// text keeps the lines before the damage; a last line without its newline (a cut file) is
    /// left out. Overlapping and repeated ranges merge. Time and memory grow with the text's
    /// length only. False when the text was foreign or damaged.
    bool Read(std::string_view text);
    /// How many ranges are kept, over every file.
    std::size_t RangeCount() const;
    bool Empty() const { return files_.empty(); }
    void Clear() { files_.clear(); }

  private:
    // First index -> last index, disjoint and never touching.
    using Ranges = std::map<int, int>;
    static void Add(Ranges& ranges, int first, int last);
    bool ReadLine(std::string_view line);
    static bool NameFits(std::string_view file);

    std::map<std::string, Ranges, std::less<>> files_;
};

}  // namespace talu::app
