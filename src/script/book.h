#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "script/book_file.h"
#include "script/string_table.h"
#include "script/tag_record.h"

namespace talu::script {

class DebugFeed;
class Diagnostics;

/// How far one reading of a book may expand through its includes: a few small files that each
/// include the next twice would otherwise expand until memory runs out. The defaults are far
/// above any real book.
struct ReadLimits {
    /// Bytes of the book file and every included file read.
    std::size_t bytes = std::size_t{64} << 20;
    /// Items held.
    std::size_t items = std::size_t{4} << 20;
    /// Files read (the book and each include).
    std::size_t files = 1u << 14;
};

/// What a book needs from the player around it. Every pointer may be null (tests, tools).
struct BookServices {
    /// Where script errors and plain boxes go.
    Diagnostics* diagnostics = nullptr;
    /// The debug window's feed of delivered items.
    DebugFeed* debugFeed = nullptr;
    /// Archive members for books and includes that are not plain files.
    const ArchiveMemberSource* archives = nullptr;
    /// Inside form of the program's folder, ending with "\" (the "PLAYER" keyword).
    std::string programFolder;
};

/// An open book: every item of the file and its includes, held in memory in reading order, with
/// the label index, the reading position and the substitution tables. The interpreter pulls
/// ready tag records from it one by one.
class Book {
  public:
    struct Item {
        std::string text;
        /// The reader's class of the item (see RawItem::kind).
        std::int16_t kind = 0;
        /// Where the item came from: an index into Files(), and the 1-based line it starts on.
        /// Both fit beside kind, so an item costs no more than before.
        std::uint16_t file = 0;
        std::int32_t line = 0;
    };

    /// One reading of a file by the last Open or LoadOtherFile: the book file or an include
    /// (a file included twice is read, and listed, twice).
    struct SourceFile {
        /// The inside path it was opened with.
        std::string path;
        /// The host file it was read from; empty for archive members.
        std::string hostPath;
    };

    /// Something the reader met and went past without telling the player more than a box.
    struct ReadProblem {
        enum class Kind {
            /// An include file that cannot be opened.
            kIncludeNotFound,
            /// An include of a file that is being read already.
            kIncludeCycle,
            /// Includes nested deeper than the reader follows.
            kIncludeTooDeep,
            /// An include that would take the reading past its ReadLimits; the includes after
            /// it are skipped too, without being listed.
            kIncludeTooLarge,
            /// A tag without its ">" that runs to the end of its file.
            kUnterminatedTag,
            /// A "<#" comment without its "#>" that runs to the end of its file.
            kUnterminatedComment,
        };
        Kind kind;
        /// The index of the item in Items().
        std::size_t item = 0;
        /// The resolved path of an include; empty otherwise.
        std::string path;
    };

    explicit Book(BookServices services);

    /// Replaces the limits of the readings that follow.
    void SetReadLimits(const ReadLimits& limits) { limits_ = limits; }

    // --- Reading (book_reader) ---

    /// Reads the whole book and its includes; the position moves to the first item.
    bool Open(BookFile& file);
    /// Opens the file at an inside path and reads it; false (with nothing changed) when it
    /// cannot be opened.
    bool OpenPath(std::string_view insidePath);
    /// The file path named by an attribute: absolute values as they are, others joined to the
    /// record's FOLDER, or as they are without one.
    std::string ResolvePath(const TagRecord& record, int attributeId) const;

    // --- Delivery and navigation (book_delivery) ---

    /// Fills record with the next item meant for execution: defaults and substitutions
    /// applied, consecutive links folded into one record. False at the end of the book.
    bool FetchTag(TagRecord& record);
    /// Follows an HREF value: "file", "#label" or "file#label".
    bool Jump(std::string_view href);
    /// Replaces the book by another plain file (or archive member, when the book being read
    /// is one); the position moves to its first item.
    bool LoadOtherFile(std::string_view path);
    /// Moves the position to item n (0 is the first item).
    bool SeekIndex(int n);
    /// Replaces the book by the file of a saved place, which may be the archive member the book
    /// was opened from, then moves to item index.
    bool RestorePosition(std::string_view path, int index);
    /// The book path, a tab, and the current index.
    std::string PositionText() const;
    bool AtEnd() const { return position_ >= items_.size(); }
    /// Skips the items up to and including the closing EVENT tag that matches the one just
    /// delivered.
    void SkipEventBlock();

    /// The interpreter's variables, read by the double-angle write form. May be null.
    void SetVariableTable(const StringTable* variables) { variables_ = variables; }

    /// The index of the next item to deliver.
    int CurrentIndex() const { return static_cast<int>(position_); }
    /// The text of the item handed out last (for script-error boxes).
    std::string_view CurrentItemText() const;
    const std::string& Path() const { return path_; }
    const std::string& Folder() const { return folder_; }
    /// Where members of archives are read from; null when only plain files are read.
    const ArchiveMemberSource* Archives() const { return services_.archives; }
    StringTable& Substitutions() { return substitutions_; }
    const std::vector<Item>& Items() const { return items_; }
    /// The readings of files the items came from, in reading order, indexed by Item::file.
    const std::vector<SourceFile>& Files() const { return files_; }
    /// The host file of every reading so far (of every Open and LoadOtherFile), once each.
    const std::vector<std::string>& HostFilesRead() const { return hostFilesRead_; }
    /// What the last Open or LoadOtherFile went past, in reading order.
    const std::vector<ReadProblem>& ReadProblems() const { return readProblems_; }
    /// The index in Items() of the item FetchTag delivered last (of the first link of a group).
    std::size_t FetchedIndex() const { return shownIndex_; }
    /// The item index of a label, if the book has it.
    std::optional<std::size_t> FindLabel(std::string_view label) const;

  private:
    bool ReplaceBy(std::string_view path, const ArchiveMemberSource* archives);
    void ReadItems(BookFile& file);
    std::optional<ReadProblem> ReadInclude(const Item& item, const BookFile& including);
    std::uint16_t FileIndex(const BookFile& file);
    void ForgetFiles();
    void SetFolderKeywords(std::string_view filePath);
    void ReportError(int code, std::string_view argument);
    void ShowCurrent(std::size_t index, int currentIndex);
    void DeliverLinkGroup(TagRecord& record);
    void ApplyDefaultsAndSubstitute(TagRecord& record, int command);
    void DeliverWrite(TagRecord& record);

    BookServices services_;
    ReadLimits limits_;
    std::vector<Item> items_;
    std::vector<SourceFile> files_;
    std::vector<ReadProblem> readProblems_;
    std::vector<std::string> hostFilesRead_;
    std::unordered_set<std::string> hostFilesKnown_;
    std::unordered_map<std::string, std::size_t> labels_;
    std::size_t position_ = 0;
    std::string path_;
    std::string folder_;
    StringTable substitutions_;
    StringTable loadTimeAliases_;
    bool loadMode_ = false;
    const StringTable* variables_ = nullptr;

    // The item shown last: an index into items_, or a copy once items_ was replaced.
    std::size_t shownIndex_ = SIZE_MAX;
    std::string shownDetached_;

    // Host files being read, innermost last, to stop include cycles.
    std::vector<std::string> readingChain_;
    // What the current reading took so far, against limits_.
    std::size_t bytesRead_ = 0;
    std::size_t filesRead_ = 0;
    bool limitReached_ = false;
};

/// Drive and folder of a path, up to and including its last separator ("\\" or "/"); empty
/// for a bare file name.
std::string_view FolderOf(std::string_view path);

/// Joins a relative path to a folder: "." is skipped, ".." removes the last folder (never the
/// drive), other components are appended.
std::string JoinPath(std::string_view folder, std::string_view relative);

/// Substitute: every entry whose value equals a key of the table gets the table's value
/// (one pass; the command entry is treated like any other).
void Substitute(const StringTable& table, TagRecord& record);

}  // namespace talu::script
