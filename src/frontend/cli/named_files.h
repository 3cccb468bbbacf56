#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "script/book.h"
#include "script/tag_record.h"
#include "stage/extension_map.h"
#include "stage/plugin_list.h"

namespace talu::cli {

/// True when a value holds "{", where the running book substitutes a variable.
bool HoldsVariable(std::string_view value);

/// The files a delivered record names (pictures, masks, wait icons, music, sounds, the mouse
/// cursor, snapshot folders), checked the way the player would open them: FOLDER joined, the
/// case-insensitive lookup, archive members, and the picture readers that PLUGIN tags bind.
/// Values holding {variables} are known only while the book runs and are passed over.
class NamedFiles {
  public:
    NamedFiles();

    /// Inside folder of the checked book: relative paths resolve against it, and paths are
    /// shown relative to it.
    void SetBookFolder(std::string folder) { bookFolder_ = std::move(folder); }

    /// Appends a message for each problem with the files the record names; a PLUGIN record
    /// binds its extension for the pictures that follow, as in the player.
    void Check(const script::Book& book, const script::TagRecord& record,
               std::vector<std::string>& messages);

    /// The archive extractors and picture readers, as the player has them.
    const stage::PluginList& Plugins() const { return plugins_; }

  private:
    void CheckPicture(const script::Book& book, const script::TagRecord& record, int id,
                      std::string_view noun, std::vector<std::string>& messages);
    void CheckMask(const script::Book& book, const script::TagRecord& record,
                   std::vector<std::string>& messages);
    void CheckFile(const script::Book& book, const script::TagRecord& record, std::string_view noun,
                   std::vector<std::string>& messages);
    void CheckIcon(const script::Book& book, const script::TagRecord& record,
                   std::vector<std::string>& messages);
    void CheckMusic(const script::Book& book, const script::TagRecord& record,
                    std::vector<std::string>& messages);
    void CheckSnap(const script::Book& book, const script::TagRecord& record,
                   std::vector<std::string>& messages);
    void Bind(const script::TagRecord& record, std::vector<std::string>& messages);

    /// The problem with reading a picture file, or an empty text.
    std::string PictureProblem(std::string_view path, std::string_view noun);
    /// True when the player finds the file, plainly or in an archive.
    bool Exists(const std::string& path);
    /// A path as the book's author reads it, quoted.
    std::string Shown(std::string_view insidePath) const;

    std::string bookFolder_;
    // Inside folder of the file whose record is checked.
    std::string readingFolder_;
    stage::PluginList plugins_;
    stage::ExtensionMap extensions_;
    // A PLUGIN tag whose extension is only known at run time may bind any extension.
    bool anyExtensionBound_ = false;
    // Whether a path was found, by reading folder and path.
    std::unordered_map<std::string, bool> found_;
    // Pictures that SNAP tags write before the book reads them, by upper-cased inside path.
    std::unordered_set<std::string> written_;
};

}  // namespace talu::cli
