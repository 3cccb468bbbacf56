#pragma once

#include <string_view>
#include <vector>

#include "frontend/cli/check_report.h"
#include "script/book.h"

namespace talu::cli {

/// Checks what the reader decides by itself over one reading of a book (the file and its
/// includes): includes it could not follow, tags and comments that run to the end of their
/// file, unknown tag words, attributes the parser drops (and why), EVENT blocks and CURTAINs
/// that never close. places holds each item's place; bookFolder is the checked book's inside
/// folder, against which paths are shown.
void CheckItems(const script::Book& book, const std::vector<Place>& places,
                std::string_view bookFolder, CheckReport& report);

}  // namespace talu::cli
