#pragma once

#include <array>
#include <string>

#include "app/settings_store.h"

namespace talu::qt {

/// The desktop player's own preferences, kept beside the old ones in the group SYSTEM: how the
/// stage was last shown and the addresses the Internet items open.
struct DesktopSettings {
    /// The mode last chosen: 0 window, 1 full screen.
    int fullScreen = 0;
    /// The window's stage scale, 1 to 3.
    int windowScale = 1;
    /// The display mode is asked at the first book (0: the mode last chosen is used at once).
    int askDisplayMode = 1;
    /// Full screen scales the stage smoothly instead of by whole pixels.
    int smoothScaling = 0;
    /// Addresses of Download New Version, Download Book, Message Board and the ranking vote;
    /// an empty one disables its item.
    std::array<std::string, 4> webAddresses;

    /// Reads every value, keeping the current one where nothing (or nothing sensible) is stored.
    void Read(const app::SettingsStore& store);
    void Write(app::SettingsStore& store) const;
};

}  // namespace talu::qt
