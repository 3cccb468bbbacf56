#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script/tag_record.h"

namespace talu::script {
class Book;
}

// A bookmark slot names files: the book file to reopen and the pictures and music of its state
// block. A slot comes from anywhere (another machine, a moved folder, a hostile download), so
// every such name is taken to the open book's folder before anything is opened.
namespace talu::app {

/// The inside path (the book's folder followed by a relative path) that a path from a slot
/// stands for, or nullopt when it lies outside the book's folder. A relative path must not climb
/// ("..") out; an absolute path inside the folder is kept; any other absolute path (on another
/// machine, a drive letter of old, a folder since moved or copied) is matched against the book's
/// folder by its last components, longest first. A name that reaches the host through a
/// symbolic link must still end inside the folder.
std::optional<std::string> PathInBookFolder(std::string_view path, std::string_view bookFolder);

/// True for a file name of the kinds the player writes itself (bookmarks, memos, pictures,
/// settings, sound recordings, pages read, and the side files of a save): never a book.
bool IsPlayerWrittenFile(std::string_view path);

/// Takes every file named by a state-block tag (SRC of BACKGROUND, ACT, ICON, CURSOR, WINDOW
/// and BGM; the mask file of ACT and WINDOW), as book resolves it, to the book's folder,
/// rewriting it in place as an absolute inside path (a plain relative name stays as written). The name that cannot be taken there is
/// returned (the tag must be left out); nullopt when the tag may run.
std::optional<std::string> ConfineStateTag(script::TagRecord& record, const script::Book& book,
                                           std::string_view bookFolder);

}  // namespace talu::app
