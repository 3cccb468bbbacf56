#pragma once

#include <optional>
#include <string>

#include "interp/memo_store.h"

// Writing one bookmark slot: its bookmark, its memo, the book memo and its picture replace the
// old ones together or not at all.
namespace talu::app {

/// The inside paths of a save's files and their new contents; an empty picture leaves the slot
/// without one.
struct SlotFiles {
    std::string slotPath;
    std::string memoPath;
    std::string bookMemoPath;
    std::string picturePath;
    std::string slot;
    std::string memo;
    std::string bookMemo;
    std::string picture;
    /// The slot's place beside it; empty for none (an old one goes).
    std::string placePath;
    std::string place;
};

enum class SlotWriteOutcome {
    kWritten,
    kNoPlace,  // a folder for the files does not exist
    kFailed,   // a write or rename failed: every file is as it was
};

/// Replaces the slot's files: every one is written beside its target first, then all are
/// renamed into place with the bookmark last (its place just before it), and a failure at any step
/// puts back those already replaced. The picture goes along when its name is free for a file (a
/// folder of that name is left alone); a slot saved without a picture loses its old one, which
/// shows another place.
SlotWriteOutcome WriteSlotFiles(const SlotFiles& files);

/// Removes a slot's picture or place (inside path) when it is a file or a link, never a folder.
void RemoveSlotSideFile(const std::string& insidePath);

/// The text a memo file of memo would hold, only when reading that text back gives the same
/// values (no name with a tab, no line break in a value, within the memo file's size).
std::optional<std::string> LoadableMemoText(const interp::MemoStore& memo);

}  // namespace talu::app
