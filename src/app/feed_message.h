#pragma once

#include <string>
#include <string_view>

#include "app/shown_page.h"

namespace talu::app {

/// What the text feed sends for a page: its text as typed (UTF-8, line breaks kept). Empty for
/// a page without text (a picture waiting for a click), which sends nothing: a dictionary tool
/// has nothing to look up there and would only lose the last line.
std::string FeedMessage(const ShownPage& page);

/// A message as one line of a file: backslashes doubled, line breaks written as "\n", carriage
/// returns dropped, so every message stays one line and reads back unchanged.
std::string FeedLine(std::string_view message);

}  // namespace talu::app
