#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/bookmark_manager.h"

// What the headless reader does with its bookmarks and commands at a wait, as a reader at the
// window would with the menu: `--at N:ACTION` on the command line.
namespace talu::cli {

struct ReaderAction {
    enum class Kind { kSave, kLoad, kInitialize, kComment, kNextChoice, kHideWindow, kBack };
    Kind kind = Kind::kSave;
    /// The slot 0 to 9, or app::BookmarkManager::kCurrentSlot.
    int slot = app::BookmarkManager::kCurrentSlot;
    /// The comment (CP932) for kComment.
    std::string text;
    /// kBack: how many pages before the current one the reading returns to.
    int pages = 0;
};

/// The actions by wait number (1-based, counting the waits of the run), in the order given.
using ReaderActions = std::multimap<int, ReaderAction>;

/// Reads "N:ACTION" (UTF-8) into actions: save, save:S, load, load:S, initialize:S,
/// comment:TEXT, next-choice, hide-window or back:K. False with a problem text otherwise.
bool ParseReaderAction(std::string_view argument, ReaderActions& actions, std::string& problem);

/// Reads a slot number 0 to 9; nullopt otherwise.
std::optional<int> ParseSlot(std::string_view text);

/// Reads "YYYY-MM-DDTHH:MM" as the local time bookmark headers write; nullopt when malformed.
std::optional<app::LocalTime> ParseLocalTime(std::string_view text);

}  // namespace talu::cli
