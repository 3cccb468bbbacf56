#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/backlog.h"

// The backlog as a text file: beside a bookmark slot (tale.03.log) and where the headless runner
// is told to write it. UTF-8 with LF line ends: a first line "talu backlog 1", then one block per
// page: the line "page", a line "| TEXT" for each line of the page's text, and "> TEXT" for the
// link taken on it. Empty lines between blocks are for people and are passed over.
namespace talu::app {

/// A log larger than this is not read at all; a line longer than kMaxBacklogLineBytes ends the
/// reading there.
inline constexpr std::size_t kMaxBacklogFileBytes = std::size_t{8} << 20;
inline constexpr std::size_t kMaxBacklogLineBytes = std::size_t{64} << 10;

/// The file's bytes. Control characters other than the tab become blanks and an overlong line is
/// cut at a character boundary, so that ParseBacklog reads back exactly what it writes.
std::string FormatBacklog(const std::vector<BacklogEntry>& entries);

/// Reads the pages of a log: whatever it holds up to the first line that is not valid UTF-8,
/// holds a control character, is too long or is not one of the lines above (the page that line
/// is in is left out). A file without the first line holds nothing.
std::vector<BacklogEntry> ParseBacklog(std::string_view bytes);

/// The pages of the log at an inside path: a regular file of at most kMaxBacklogFileBytes, never
/// a link; anything else, and a missing file, hold nothing.
std::vector<BacklogEntry> ReadBacklogFile(const std::string& insidePath);

/// Writes the log at an inside path atomically; false when it cannot be written.
bool WriteBacklogFile(const std::string& insidePath, const std::vector<BacklogEntry>& entries);

/// Removes the log at an inside path when it is a file or a link, never a folder.
void RemoveBacklogFile(const std::string& insidePath);

}  // namespace talu::app
