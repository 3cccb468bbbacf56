#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace talu::script {

/// Reads the bytes of a file stored inside an archive ("data.lzh\story.talu"), for books and
/// includes that are not plain files. Given by the archive plug-ins.
class ArchiveMemberSource {
  public:
    virtual ~ArchiveMemberSource() = default;
    /// The member's bytes, or nullopt when no archive holds it.
    virtual std::optional<std::string> ReadMember(std::string_view insidePath,
                                                  std::string_view bookFolder) const = 0;
};

/// The source of lines of one book file: a plain file read whole, or an archive member held in
/// one memory block. The two keep the line rules of the readers they stand for.
class BookFile {
  public:
    enum class Kind {
        /// Text-mode file: lines end at LF, a CR before it is dropped, Ctrl-Z ends the file.
        PlainFile,
        /// Memory block (an archive's member): lines end at CR, at CR LF (once) and at LF
        /// alone, so a book written with LF line ends reads the same zipped as unzipped.
        MemoryBlock,
    };

    BookFile(std::string insidePath, std::string bytes, Kind kind);

    /// Opens a plain file by its inside path; falls back to the archives when allowed.
    static std::optional<BookFile> Open(std::string_view insidePath, std::string_view bookFolder,
                                        const ArchiveMemberSource* archives);

    /// The next line without its line end, cut at a NUL byte as the old string handling did.
    /// False at the end of input.
    bool ReadLine(std::string& line);
    /// 1-based number of the line ReadLine returned last.
    int LineNumber() const { return lineNumber_; }

    /// The inside path the file was opened with.
    const std::string& Path() const { return path_; }
    /// The host file it was read from; empty for archive members.
    const std::string& HostPath() const { return hostPath_; }
    void SetHostPath(std::string hostPath) { hostPath_ = std::move(hostPath); }
    /// How many bytes the file holds.
    std::size_t Size() const { return bytes_.size(); }

  private:
    std::string path_;
    std::string hostPath_;
    std::string bytes_;
    Kind kind_;
    std::size_t offset_ = 0;
    int lineNumber_ = 0;
};

}  // namespace talu::script
