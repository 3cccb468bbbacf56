#pragma once

#include <QMenu>
#include <array>
#include <vector>

namespace talu::qt {

/// What the popup menu shows besides its fixed items.
struct MenuState {
    /// 0 Japanese, 1 English: which of the two menus is built.
    int langMode = 0;
    /// Open and Debug are left out.
    bool singleBook = false;
    /// Full Screen or Window carries the check mark.
    bool fullScreen = false;
    /// The checked window size, 1 to 3.
    int windowScale = 1;
    /// The Internet items that have an address (the others are disabled), in command order:
    /// Download New Version, Download Book, Message Board, ranking vote.
    std::array<bool, 4> webAvailable{};
    /// The window sizes 1 to 3 that fit the desktop (the others are disabled).
    std::array<bool, 3> scaleFits{true, true, true};
    /// The reader's commands refused now (disabled), by command id.
    std::vector<int> refused;
};

/// Fills menu with the reader's commands in the chosen language; each action's data is its
/// command id (see commands.h).
void BuildPopupMenu(QMenu& menu, const MenuState& state);

/// The action with a command id anywhere in menu or its submenus; null when it is not there.
QAction* FindCommand(const QMenu& menu, int id);

}  // namespace talu::qt
