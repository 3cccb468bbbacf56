#pragma once

#include "script/string_table.h"
#include "script/tag_record.h"

namespace talu::script {

/// Brace substitution: in every attribute value (not the command), "{name}" becomes the value
/// of the variable name, repeatedly, so a variable may hold another's braces. Braces inside
/// square brackets are never substitution marks. An unknown name stops substitution in that
/// value. Values that keep growing or never settle stop after a bounded number of rounds.
void ExpandVariables(TagRecord& record, const StringTable& variables);

}  // namespace talu::script
