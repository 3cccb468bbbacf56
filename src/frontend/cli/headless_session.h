#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/backlog.h"
#include "app/bookmark_manager.h"
#include "app/player.h"
#include "frontend/cli/reader_actions.h"
#include "frontend/cli/scripted_reader.h"
#include "host/clock.h"
#include "interp/interpreter.h"
#include "script/tag_record.h"
#include "stage/screen.h"

// One book played headless from its first page: the player, its interpreter and stage on a
// scripted shell, and a reader that clicks at every wait, takes links and fills in forms. `run`
// plays a book once with a trace; `explore` plays it again and again.
namespace talu::cli {

struct SessionOptions {
    /// Host path of the book, or of the archive that holds it.
    std::filesystem::path book;
    /// The book's member path (CP932) when book is an archive; empty otherwise.
    std::string member;
    /// INI file with the settings (groups EFFECT and SYSTEM); empty for the defaults.
    std::string settings;
    /// 0 Japanese, 1 English; the settings' language when not given.
    std::optional<int> langMode;
    /// The answer to OK/Cancel boxes (the close question, a program's start).
    bool answerOk = true;
    /// Sleeps really sleep (otherwise they only advance a virtual clock).
    bool realTime = false;
    /// The local time bookmark headers write; the real clock's when not given.
    std::optional<app::LocalTime> date;
    /// Keep all music and effects played, for WriteAudio.
    bool recordAudio = false;
    /// Keep the pages read in the book's file (false: for this reading only).
    bool keepReadPages = true;
    /// --skip all (true) or read (false): the setting "skip unread text too".
    std::optional<bool> skipUnread;
    /// --auto: auto's pace, milliseconds per character.
    std::optional<int> autoPace;
    /// --wrap-at-spaces: Latin words wrap at spaces (otherwise as the settings say).
    std::optional<bool> wrapAtSpaces;
};

/// What the scripted reader does where the book asks something.
struct ReaderScript {
    /// The link to take, given the shown links that can be chosen (indexes among the shown
    /// links, in order); nullopt when the reader takes none, which ends the run.
    std::function<std::optional<int>(const std::vector<int>& choosable)> choose;
    /// NAME=VALUE pairs (CP932) entered into every form before its SUBMIT is pressed.
    FormInputs inputs;
    /// The run stops after this many steps.
    long long maxSteps = 1000000;
    /// What the reader does at the N-th wait, before its click.
    ReaderActions atWait;
    /// The slot loaded right after the book opens.
    std::optional<int> loadAtStart;
    /// The slot chosen in the load-only bookmark dialog of automatic books; nullopt cancels it.
    std::optional<int> autoLoad;
    /// Skip or auto, started again instead of the click wherever the book waits for one with
    /// neither on; kNone clicks.
    app::ReadingMode mode = app::ReadingMode::kNone;
};

/// Told of the run on the worker thread; either may be empty.
struct SessionHooks {
    /// After every step: its result and record.
    std::function<void(int result, const script::TagRecord& record)> step;
    /// The worker stopped at a page or line wait (kind 16, 15 or 14) at the wait mark, with the
    /// wait icon's first frame already on the screen.
    std::function<void(int kind, int x, int y)> wait;
    /// The reader changed what the screen shows while the book waits (Close Window): a picture
    /// of it is due.
    std::function<void()> picture;
    /// A page has been typed and waits for the reader (a click, its links or its form).
    std::function<void(const app::ShownPage& page)> pageShown;
};

/// A book opened headless. Every event of the shell (boxes, music, sound, title, cursor,
/// commands, typed text, presentations, snapshots) is written as a line to the session's sink.
class HeadlessSession {
  public:
    /// Reads the settings, makes the stage and opens the book; null with a problem text when
    /// one of them fails. line must be safe to call from several threads.
    static std::unique_ptr<HeadlessSession> Open(const SessionOptions& options, TraceLine line,
                                                 std::string& problem);
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    /// Plays the book from its start until it ends or cannot go on, and returns why:
    /// "book-end", "end-tag", "max-steps", "no-choice" or "no-submit" (problem then says
    /// more), or the reason given to Stop. Traces "click" before every click, and "trap"
    /// before the click that goes on after a TRAP.
    std::string Play(const ReaderScript& reader, const SessionHooks& hooks, std::string& problem);
    /// Ends the run after the current step with reason; for hooks.
    void Stop(std::string reason);

    app::BookmarkManager& Bookmarks();
    /// The pages of the reading, as the backlog holds them now.
    std::vector<app::BacklogEntry> BacklogEntries() const;

    app::Player& GetPlayer();
    interp::Interpreter& GetInterpreter();
    const stage::Screen& GetScreen() const;
    /// Milliseconds the book's clock has moved since the session opened.
    std::int64_t ElapsedMs() const;
    /// The language boxes are shown in.
    int LangMode() const;
    /// Writes everything the book played, mixed on its clock, as a WAVE file; false with
    /// problem when it cannot be written or is too long for one.
    bool WriteAudio(const std::string& file, std::string& problem);

  private:
    struct Parts;
    explicit HeadlessSession(std::unique_ptr<Parts> parts);
    /// Does the reader's actions for the wait; true when one of them set the book going.
    bool Act(const ReaderActions& actions, long long wait);
    /// Does one of them, traced; true when it set the book going.
    bool ActOnce(const ReaderAction& action);
    /// Starts mode where the book waits with neither skip nor auto on; true when it did (the
    /// book goes on, traced by the shell).
    bool RestartMode(app::ReadingMode mode);
    /// Returns the given number of pages before the current one, traced "back K ok|fail";
    /// true when the book goes on from there.
    bool GoBack(int pages);

    std::unique_ptr<Parts> parts_;
};

}  // namespace talu::cli
