#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One bookmark slot's file: six list blocks of CP932 text, written with CR LF line ends so that
// files from every version of the player read alike. Block 1 is the header, 2 to 4 the
// substitution, variable and bookmark tables, 5 the position, 6 the tags that rebuild the state.
namespace talu::app {

using TableEntries = std::vector<std::pair<std::string, std::string>>;

struct SlotFile {
    /// Block 1, line 1: the reading position ("FILE<tab>INDEX"), or the book's file name for a
    /// slot made by Initialize.
    std::string headerPosition;
    /// Block 1, line 2: "MM/DD hh:mm", a tab, the comment.
    std::string date;
    std::string comment;
    /// Blocks 2 to 4, in the order written.
    TableEntries substitutions;
    TableEntries variables;
    TableEntries bookmarks;
    /// Block 5: the book's file name without folder; the file being read (relative to the book's
    /// folder when inside it) and the index of the next item (-1 for the top of a fresh slot).
    std::string bookFile;
    std::string positionFile;
    int positionIndex = 0;
    /// Block 6: one tag per line.
    std::vector<std::string> state;

    bool operator==(const SlotFile&) const = default;
};

/// The file's bytes, exactly in the format books' bookmarks have always had.
std::string FormatSlotFile(const SlotFile& slot);

/// Limits that keep a damaged or hostile file from costing the reader more than a refusal.
inline constexpr std::size_t kMaxSlotFileBytes = 32u << 20;
inline constexpr std::size_t kMaxSlotLineBytes = 256u << 10;
/// Block 6 is executed line by line on a load, each line possibly decoding a picture: it is
/// bounded far below the file, and each kind of tag to as many lines as its writer makes (one
/// BACKGROUND, an ACT per character ...).
inline constexpr std::size_t kMaxStateLines = 256;
inline constexpr std::size_t kMaxStateBytes = 128u << 10;

/// Reads a slot file strictly: six complete blocks, every line valid CP932 without control
/// characters and at most kMaxSlotLineBytes long, block 5 with its two lines and a plain file
/// name, and block 6 holding only single tags of the kinds the bookmark writes itself (see
/// IsRestorableStateLine, or empty, each kind as often as the player writes it) within
/// kMaxStateLines and kMaxStateBytes; nothing but empty
/// lines after it. CR LF and LF line ends are both read; lines between blocks are passed over as
/// they always were. nullopt with the reason in problem otherwise.
std::optional<SlotFile> ParseSlotFile(std::string_view bytes, std::string& problem);

/// The bytes of FormatSlotFile, only when ParseSlotFile reads them back as the same slot (an
/// index of -1 reads as 0): a value holding a line break or a control character, a name holding
/// a tab, an empty name or an overlong line would be lost or refused on the load, so the slot is
/// not written at all. nullopt with the reason in problem then.
std::optional<std::string> FormatLoadableSlotFile(const SlotFile& slot, std::string& problem);

/// True for a line that is one tag, of a kind a bookmark's state block holds: PLUGIN, ICON,
/// CURSOR, TITLE, the stage, message window and colour filter tags of the snapshot, and BGM. A
/// bookmark from elsewhere can therefore never start a program, write a file or jump.
bool IsRestorableStateLine(std::string_view line);

/// True for text that is valid CP932 (single bytes, or a lead byte with its trail byte) and
/// holds no control character other than the tab.
bool IsCleanCp932Line(std::string_view line);

}  // namespace talu::app
