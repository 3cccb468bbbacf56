#pragma once

#include "app/slot_file.h"
#include "script/string_table.h"

// A string table's values as a slot keeps them, and back.
namespace talu::app {

/// The table's values now (changes since the last commit included), sorted by name.
TableEntries CurrentEntries(const script::StringTable& table);

/// Makes entries the table's only values, with nothing in its shadow.
void FillTable(script::StringTable& table, const TableEntries& entries);

}  // namespace talu::app
