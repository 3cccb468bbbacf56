#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace talu::cli {

/// Where a finding stands: a file of the report, the line where the item starts, and the item's
/// ordinal in its file (which orders items that share a line).
struct Place {
    int file = 0;
    int line = 0;
    std::uint32_t ordinal = 0;
};

/// The checker's findings, printed as "FILE:LINE: message" lines: files in the order they were
/// reached, findings of a file in reading order. A file reached twice (an include of several
/// books) reports each of its findings once.
class CheckReport {
  public:
    /// The id of a file, known by key (its host path); name is what the author is shown. A known
    /// key keeps its first id and name.
    int AddFile(const std::string& key, std::string name);
    /// Adds a finding, unless the same item already has the same message.
    void Add(const Place& place, std::string message);
    /// Number of findings.
    std::size_t Count() const { return findings_.size(); }
    /// Number of files with findings.
    std::size_t FilesWithFindings() const;
    /// Writes every finding, one line each.
    void Print(std::ostream& out) const;

  private:
    struct Finding {
        Place place;
        std::string message;
    };

    std::vector<std::string> names_;
    std::unordered_map<std::string, int> ids_;
    std::vector<Finding> findings_;
    std::set<std::tuple<int, std::uint32_t, std::string>> seen_;
};

/// CP932 text from a book in double quotes, as UTF-8, cut short with "..." when it is long.
std::string QuoteBookText(std::string_view cp932);

}  // namespace talu::cli
