#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace talu::cli {

/// A copy of a book's folder in a temporary folder, for a command that plays the book again
/// and again: whatever a run writes (memos, SNAP pictures) lands in the copy and never in the
/// author's folder, and Restore puts the copy back as the folder was before the next run.
class ScratchBook {
  public:
    /// Copies the folder holding book (a host path); null with a problem text when it cannot.
    static std::unique_ptr<ScratchBook> Create(const std::filesystem::path& book,
                                               std::string& problem);
    /// Removes the copy.
    ~ScratchBook();
    ScratchBook(const ScratchBook&) = delete;
    ScratchBook& operator=(const ScratchBook&) = delete;

    /// The book inside the copy.
    const std::filesystem::path& Book() const { return book_; }
    /// Text naming the copy's folder in a book's messages (its inside form, "Z:\...\"), and
    /// the same for the author's folder, so that messages can name the author's files.
    const std::string& InsideCopyFolder() const { return insideCopy_; }
    const std::string& InsideSourceFolder() const { return insideSource_; }

    /// Removes what a run added to the copy and copies again every file it changed or
    /// removed; false with a problem text when the copy cannot be put back.
    bool Restore(std::string& problem);

  private:
    ScratchBook() = default;
    bool CopyFile(const std::filesystem::path& relative, std::string& problem);

    std::filesystem::path source_;
    std::filesystem::path copy_;
    std::filesystem::path book_;
    std::string insideCopy_;
    std::string insideSource_;
    /// Every file and folder of the copy, relative to it, with its size (folders: -1).
    std::map<std::filesystem::path, std::uintmax_t> entries_;
};

}  // namespace talu::cli
