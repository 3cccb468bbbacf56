#include "app/table_entries.h"

#include <algorithm>

namespace talu::app {

TableEntries CurrentEntries(const script::StringTable& table) {
    TableEntries entries(table.Values().begin(), table.Values().end());
    std::sort(entries.begin(), entries.end());
    return entries;
}

void FillTable(script::StringTable& table, const TableEntries& entries) {
    table.Clear();
    table.CommitShadow();
    for (const auto& [key, value] : entries) {
        table.Set(key, value);
    }
}

}  // namespace talu::app
