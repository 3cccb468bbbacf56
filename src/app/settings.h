#pragma once

#include <atomic>
#include <string>

#include "app/input_bindings.h"
#include "app/read_along_settings.h"
#include "app/settings_store.h"

namespace talu::app {

/// A preference the engine may change for a while (WAIT tags, fast-forward): the user value is
/// what the reader chose and what is stored; the current value is what the engine uses. The
/// worker reads current values while the interface thread changes them, hence atomics.
struct PairedSetting {
    explicit PairedSetting(int value) : user(value), current(value) {}
    /// Both copies at once, as reading the settings and the dialog's OK do.
    void Set(int value) {
        user.store(value);
        current.store(value);
    }
    std::atomic<int> user;
    std::atomic<int> current;
};

/// The reader's preferences, with their defaults.
struct Settings {
    PairedSetting charWait{40};        ///< m_nCharWait: character effect speed
    PairedSetting textWait{50};        ///< m_nTextWait: typing speed
    PairedSetting backWait{50};        ///< m_nBackWait: background effect speed
    PairedSetting fadeWait{50};        ///< m_nFadeWait: window fade speed
    std::atomic<int> bright{50};       ///< m_nBright: stage brightness behind a frameless window, %
    std::atomic<int> jpeg{70};         ///< m_nJpeg: JPEG quality of saved pictures
    PairedSetting useCD{1};            ///< m_nUseCD: play music
    PairedSetting usePCM{1};           ///< m_nUsePCM: play sound effects
    std::atomic<int> useAntiAlias{1};  ///< m_nUseAntiAlias: smooth character edges
    PairedSetting allowCommand{1};     ///< m_nAllowCommand: books may start programs
    PairedSetting charEffect{1};       ///< m_nCharEffect
    PairedSetting textEffect{1};       ///< m_nTextEffect
    PairedSetting backEffect{1};       ///< m_nBackEffect
    PairedSetting fadeEffect{1};       ///< m_nFadeEffect
    std::atomic<int> brightEffect{1};  ///< m_nBrightEffect: brightness adjustment on
    std::atomic<int> useGpx{1};        ///< m_nUseGpx: load graphics
    std::atomic<int> windowTop{0};     ///< m_iWindowTop
    std::atomic<int> windowLeft{0};    ///< m_iWindowLeft
    /// m_BookmarkFolderOnArchive as an inside path (stored as a host path where it has one);
    /// only the interface thread touches it.
    std::string bookmarkFolder;
    std::atomic<int> langMode{0};  ///< m_iLangMode: 0 Japanese, 1 English
    /// Skip passes pages not read before too.
    std::atomic<int> skipUnread{0};
    /// Auto's pace: milliseconds per character shown, after its one second.
    std::atomic<int> autoPace{kDefaultAutoPace};
    static constexpr int kDefaultAutoPace = 40;
    /// The pace a slider offers.
    static constexpr int kMaxAutoPace = 200;
    /// A General MIDI soundfont file (host path) that replaces the installed one; empty for
    /// the installed one. Read once, before any music plays.
    std::string soundFont;
    std::atomic<int> musicVolume{100};     ///< how loud music is heard, 0 to 100
    std::atomic<int> soundVolume{100};     ///< how loud sound effects are heard, 0 to 100
    std::atomic<int> muteInBackground{0};  ///< silent while the window is in the background
    /// Text in Latin letters wraps at spaces, not inside words (for translated books); off keeps
    /// every book's own line breaks.
    std::atomic<int> wrapAtSpaces{0};
    /// Clipboard, read-aloud and text feed of each page (the window's).
    ReadAlongSettings readAlong;
    /// The reader's keys and gamepad buttons (interface thread only).
    InputBindings inputs;

    /// Reads every value, each with its current value as the default; a missing bookmark folder
    /// becomes dataFolder (an inside folder: the program's, or the reader's own data folder)
    /// followed by "bookmark\".
    void Read(const SettingsStore& store, const std::string& dataFolder);
    /// Writes what the reader chose (user speeds and switches, current effect switches).
    void Write(SettingsStore& store) const;
};

}  // namespace talu::app
