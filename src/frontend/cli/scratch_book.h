#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace talu::cli {

/// A stand-in for a book's folder in a temporary folder, for a command that plays the book
/// again and again: whatever a run writes (memos, slots, SNAP pictures) lands in the stand-in
/// and never in the author's folder, and Restore puts it back as the folder was before the next
/// run. Only the files a run may write are copied; every other file is a link to the author's,
/// read where it is, so a large file beside the book costs nothing.
class ScratchBook {
  public:
    /// Mirrors the folder holding book (a host path); null with a problem text when it cannot.
    static std::unique_ptr<ScratchBook> Create(const std::filesystem::path& book,
                                               std::string& problem);
    /// Removes the stand-in.
    ~ScratchBook();
    ScratchBook(const ScratchBook&) = delete;
    ScratchBook& operator=(const ScratchBook&) = delete;

    /// The book inside the stand-in.
    const std::filesystem::path& Book() const { return book_; }
    /// Text naming the stand-in's folder in a book's messages (its inside form, "Z:\...\"), and
    /// the same for the author's folder, so that messages can name the author's files.
    const std::string& InsideCopyFolder() const { return insideCopy_; }
    const std::string& InsideSourceFolder() const { return insideSource_; }

    /// Removes what a run added and puts back every file it changed or removed; false with a
    /// problem text when the stand-in cannot be put back.
    bool Restore(std::string& problem);

    /// True for the files a run may write over, which are copied rather than linked: memos,
    /// slots and pictures (SNAP writes them, some in place).
    static bool Writable(const std::filesystem::path& file);

  private:
    ScratchBook() = default;
    bool Mirror(const std::filesystem::path& relative, std::string& problem);

    std::filesystem::path source_;
    std::filesystem::path copy_;
    std::filesystem::path book_;
    std::string insideCopy_;
    std::string insideSource_;
    /// Every file and folder of the stand-in, relative to it: a copy's size, kFolder or kLink.
    std::map<std::filesystem::path, std::uintmax_t> entries_;
};

}  // namespace talu::cli
