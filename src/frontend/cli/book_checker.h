#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/cli/check_report.h"
#include "frontend/cli/named_files.h"
#include "script/book.h"
#include "stage/archive_member_source.h"

namespace talu::cli {

/// Reads a book as the player does and reports what the player would stumble on: first the
/// book with its includes, then every other book file its links reach, each once. Records are
/// taken through the player's own delivery, so FOLDER, CURRENT, PLAYER and ALIAS apply as they
/// would (aliases in reading order, kept across files as across jumps).
class BookChecker {
  public:
    explicit BookChecker(CheckReport& report);

    /// Checks the book at a host path, or its member when one is named (the book inside an
    /// archive); false when it cannot be read at all.
    bool Check(const std::filesystem::path& book, std::string_view member = {});

  private:
    /// A book file that links reach, with the labels they look for in it.
    struct Target {
        std::string insidePath;
        struct LabelUse {
            Place place;
            std::string label;
            std::string href;
        };
        std::vector<LabelUse> labelUses;
    };

    void CheckReading();
    std::vector<Place> PlacesOfReading();
    void CheckRecord(const script::TagRecord& record, const std::vector<Place>& places);
    void CheckHref(std::string_view href, const Place& place);
    void CheckTargetLabels();
    /// True while the file being read came out of an archive: its jumps reach members too.
    bool FromArchive() const;
    /// The report's name of a file: its path relative to the checked book's folder.
    std::string FileName(const script::Book::SourceFile& file) const;

    CheckReport& report_;
    NamedFiles files_;
    stage::PluginArchiveSource archives_;
    script::Book book_;
    std::string bookFolder_;
    std::filesystem::path bookHostFolder_;
    // Book files reached, by canonical host path, and those still to be read.
    std::map<std::string, Target> targets_;
    std::deque<std::string> toRead_;
    std::vector<std::string> messages_;
};

}  // namespace talu::cli
