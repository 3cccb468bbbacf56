#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/backlog.h"
#include "app/bookmark_manager.h"
#include "app/media_listener.h"
#include "app/music_player.h"
#include "app/player.h"
#include "app/reader_commands.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/sound_effects.h"
#include "host/audio/audio_device.h"
#include "host/clock.h"
#include "interp/interpreter.h"
#include "script/debug_feed.h"
#include "script/diagnostics.h"
#include "stage/extension_map.h"
#include "stage/pixel_format.h"
#include "stage/plugin_list.h"
#include "stage/screen.h"
#include "stage/stage.h"

// Everything one open book needs, built and wired in one place: the screen and the stage, the
// interpreter with its services, the player that runs it, its music and sound effects, and the
// bookmarks that restore it. A
// frontend implements Shell, draws the screen and forwards the reader's input to the player;
// nothing else is wired twice.
namespace talu::app {

/// What a session is given; the pointed-to objects belong to the frontend and outlive it.
struct SessionOptions {
    /// The frontend; must not be null.
    Shell* shell = nullptr;
    /// The reader's settings, already read from their store; must not be null.
    Settings* settings = nullptr;
    /// Every pause of the book sleeps here; must not be null.
    host::Clock* clock = nullptr;
    /// Paces the wait icon; null uses clock.
    host::Clock* iconClock = nullptr;
    /// Image decoders and archive extractors; null makes the session scan its own.
    stage::PluginList* plugins = nullptr;
    /// Inside path of the program's folder ("PLAYER").
    std::string programFolder;
    /// The screen's pixel layout.
    stage::PixelFormat format = stage::PixelFormat::Rgb565();
    /// The debug window's feed; optional.
    script::DebugFeed* debugFeed = nullptr;
    /// A stage tag failed (the debug window comes up); optional.
    std::function<void()> onStageFailure;
    /// Where music and effects are heard (or recorded); null plays neither.
    host::AudioDevice* audio = nullptr;
    /// Told of music and effects; optional.
    MediaListener* mediaListener = nullptr;
    /// The time bookmark headers record; optional (the local time now).
    std::function<LocalTime()> now;
    /// Every text handed to typing; optional (for traces).
    std::function<void(std::string_view)> onTypeText;
    /// SNAP wrote a picture at this inside path; optional (for traces).
    std::function<void(const std::string&)> onSnap;
};

/// One reader's session: the display lives as long as the session, and each book opened gets a
/// fresh interpreter. Methods are for the interface thread.
class Session {
  public:
    /// Makes the screen and the stage; null with a problem text when they cannot be made.
    static std::unique_ptr<Session> Create(const SessionOptions& options, std::string& problem);
    /// Closes the book.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Closes the open book, then reads the book at an inside path into a fresh interpreter
    /// without running it, and clears the bookmark state. False when it cannot be read; no book
    /// is open then.
    bool LoadBook(std::string_view insidePath);
    /// Resets the run state and runs the loaded book from its start on a new worker.
    void StartBook();
    /// LoadBook, then StartBook: what opening a book from the window does.
    bool OpenBook(std::string_view insidePath);
    /// Ends any pause at once (the clock's, a waited-for effect's, a fade's), waits for the
    /// worker and the wait icon, and drops the book. The music plays on: the close request
    /// stops it.
    void CloseBook();
    /// Loads bookmark slot (or BookmarkManager::kCurrentSlot) of the open book: the slot is
    /// checked whole first, then the book ends at once, nothing of the reading before stays
    /// (characters, icons, window, music, speeds) and a fresh interpreter takes the saved
    /// state (its music and stage size go to the shell); StartRestored then runs it. False
    /// when nothing was loaded (the box saying why was shown): the open book stays as it was,
    /// unless the book file changed under the load. The shell hears ReadingEnds once the slot
    /// is known good, before the book ends, and ReadingResumes when the load is over.
    bool LoadBookmark(int slot);
    /// Going back: the reading returns to the start of backlog entry index as a bookmark load
    /// would (the shell hears ReadingEnds and ReadingResumes alike), in the current slot, and
    /// the later entries go; StartRestored then runs it. False when the entry keeps no save
    /// point (nothing changed then) or the book file cannot be reopened (no book runs then).
    bool ReturnToPage(std::size_t index);
    /// Runs the book from where LoadBookmark restored it; it passes automatic-bookmark points.
    void StartRestored();
    /// Stops the music and every effect: the audio device outlives the book, so closing it (or
    /// the window) ends them.
    void StopMedia();

    Player& GetPlayer() { return player_; }
    /// The reader's commands on this session.
    ReaderCommands& Commands() { return commands_; }
    Shell& GetShell() { return *options_.shell; }
    Settings& GetSettings() { return *options_.settings; }
    /// The open book's interpreter; null when no book is open.
    interp::Interpreter* GetInterpreter() { return interpreter_.get(); }
    stage::Screen& GetScreen() { return screen_; }
    const stage::Screen& GetScreen() const { return screen_; }
    stage::Stage& GetStage() { return stage_; }
    BookmarkManager& Bookmarks() { return bookmarks_; }
    /// The pages of the current reading.
    Backlog& GetBacklog() { return backlog_; }
    /// The music player; null without an audio device.
    MusicPlayer* Music() { return music_.get(); }

  private:
    explicit Session(const SessionOptions& options);
    interp::InterpreterServices Services(int bookmarkSlot);
    BookmarkServices BookmarkHooks();
    void EndRun();
    using Executed = std::function<void(int result, const script::TagRecord&)>;
    /// Ends the reading and rebuilds it in a fresh interpreter for slot number with restore.
    bool Reload(int number,
                const std::function<bool(interp::Interpreter&, const Executed&)>& restore);
    /// A restored state line's result: its music and the stage size go on.
    void Restored(int result, const script::TagRecord& record);
    /// A page begins now: the backlog keeps the place to return to.
    void PageStarts();
    void SetMediaFolder(const std::string& folder);

    /// Script errors reach the reader through the shell's boxes.
    class ShellBoxes : public script::MessageBoxHost {
      public:
        explicit ShellBoxes(Shell& shell) : shell_(shell) {}
        void ShowMessageBox(std::string_view text) override {
            shell_.ShowMessage(std::string(text), false);
        }

      private:
        Shell& shell_;
    };

    SessionOptions options_;
    ShellBoxes boxes_;
    script::Diagnostics diagnostics_;
    stage::Screen screen_;
    stage::Stage stage_;
    interp::MessageDisplay display_;
    stage::PluginList ownPlugins_;
    stage::ExtensionMap extensions_;
    // Both null without an audio device; they serve whichever book is open.
    std::unique_ptr<MusicPlayer> music_;
    std::unique_ptr<SoundEffects> sounds_;
    Backlog backlog_;
    Player player_;
    BookmarkManager bookmarks_;
    ReaderCommands commands_{*this};
    std::unique_ptr<interp::Interpreter> interpreter_;
};

}  // namespace talu::app
