#pragma once

#include "app/settings_store.h"

namespace talu::app {

/// What follows the reader's pages outside the window, for readers who look words up or listen:
/// all off by default. Kept in the group SYSTEM under keys of their own; only the interface
/// thread touches them.
struct ReadAlongSettings {
    static constexpr int kDefaultFeedPort = 6677;

    /// Each page's text goes to the clipboard once it has been typed.
    int copyToClipboard = 0;
    /// Each page is spoken in the book's language.
    int readAloud = 0;
    /// Each page's text goes to the WebSocket feed on 127.0.0.1.
    int textFeed = 0;
    /// The feed's port, 1 to 65535.
    int textFeedPort = kDefaultFeedPort;

    /// Reads every value, keeping the current one where nothing sensible is stored.
    void Read(const SettingsStore& store);
    void Write(SettingsStore& store) const;
};

}  // namespace talu::app
