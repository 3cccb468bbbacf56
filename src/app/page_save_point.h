#pragma once

#include <string>

#include "app/slot_file.h"

namespace talu::app {

/// Where a page of the reading began, kept in memory so the reader can return to it: what a
/// bookmark slot would hold at that moment, and what a slot cannot hold.
struct PageSavePoint {
    /// Position, tables and state lines as a slot file holds them (no date or comment).
    SlotFile slot;
    /// The bookmark memo's values (the book memo is shared with other readings and not kept).
    TableEntries bookmarkMemo;
    /// Text a full page left for this one (CP932), typed before the next item.
    std::string pendingText;
};

}  // namespace talu::app
