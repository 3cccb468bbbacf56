#pragma once

#include <optional>
#include <string>

#include "app/slot_file.h"
#include "app/slot_paths.h"
#include "script/book.h"

// Reading a bookmark slot for the list or for a load, and checking that it belongs to the open
// book before anything is reset.
namespace talu::app {

/// Why a slot gave nothing to load.
enum class SlotReadProblem {
    kMissing,     // no slot file
    kUnreadable,  // not a regular file, too large, or a read error
    kRefused,     // damaged, foreign, or naming a place outside the book's folder
};

/// Reads and parses slot n's file (a regular file, never followed, at most kMaxSlotFileBytes).
std::optional<SlotFile> ReadSlot(const SlotPaths& paths, int n, SlotReadProblem& problem);

/// Checks a slot read for loading into the open book: block 5 names the open book's file; the
/// position names a book file inside the book's folder (or its archive), never a file the player
/// writes; the book and that file open as the open book reads them (from archives too) and the
/// index lies within the file. On success positionFile becomes the absolute inside path to
/// reopen.
bool CheckSlotPlace(SlotFile& slot, const SlotPaths& paths, const script::Book& openBook);

}  // namespace talu::app
