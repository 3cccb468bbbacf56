#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/archive/archive_reader.h"
#include "stage/plugin.h"

// Archives of books may hold a hundred thousand members: each is listed once and its members
// found by name through a hash table, not by walking the list.
namespace talu::stage {

/// The form in which member names are compared: ASCII letters upper-cased and "/" made "\" in
/// single-byte characters, double-byte characters kept whole.
std::string FoldMemberName(std::string_view name);

/// The members of one archive by folded name.
class ArchiveIndex {
  public:
    explicit ArchiveIndex(std::vector<host::ArchiveEntry> members);

    struct Found {
        const host::ArchiveEntry* member = nullptr;
        /// Bytes of the looked-up path the member's name covers.
        std::size_t matched = 0;
    };
    /// The first member in stored order that memberPath names whole, or that names a leading
    /// part of it ending before a "\" or "/" (an archive inside the archive).
    std::optional<Found> Find(std::string_view memberPath) const;

  private:
    std::vector<host::ArchiveEntry> members_;
    std::unordered_map<std::string, std::size_t> byName_;
};

/// The index of an archive as plugin lists it; null when the plugin cannot list it. Archives
/// in host files are indexed once and kept while the file is unchanged (a few at a time).
std::shared_ptr<const ArchiveIndex> IndexArchive(const Plugin& plugin,
                                                 const host::ArchiveSource& archive);

}  // namespace talu::stage
