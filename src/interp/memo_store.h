#pragma once

#include <string>
#include <string_view>

#include "script/string_table.h"

namespace talu::interp {

/// The largest memo file read or written; a larger one is treated as missing.
inline constexpr std::size_t kMaxMemoFileBytes = std::size_t{32} << 20;

/// Values a book keeps in a file beyond one reading (the book memo, and one memo per bookmark
/// slot), in the list form of a string table.
class MemoStore {
  public:
    /// Remembers the file and reads it when it is a regular file of at most kMaxMemoFileBytes;
    /// anything else (missing, a pipe, a device, a symbolic link) leaves the table as it is.
    void Load(std::string_view insidePath);
    bool Lookup(std::string_view name, std::string& out) const { return table_.Lookup(name, out); }
    void Put(std::string_view name, std::string_view value) { table_.Set(name, value); }
    /// Writes the table to the file (replacing it whole) and remembers the file. A file that
    /// cannot be written, or text too large to be read back, is skipped without a message.
    void Save(std::string_view insidePath);
    /// The file's contents as Save writes them (one list block, CR LF line ends).
    std::string Text() const;
    /// Makes path the remembered file without writing it (a bookmark save writes the text itself,
    /// together with the slot's other files).
    void Rebind(std::string_view insidePath) { path_ = std::string(insidePath); }
    /// Save to the remembered file.
    void Flush() { Save(path_); }
    /// Deletes the remembered file; the values already read stay.
    void Erase();
    /// Empties the shadow of changes since the last bookmark.
    void Commit() { table_.CommitShadow(); }

    script::StringTable& Table() { return table_; }
    const script::StringTable& Table() const { return table_; }
    const std::string& Path() const { return path_; }

  private:
    script::StringTable table_;
    std::string path_;
};

}  // namespace talu::interp
