#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "host/clock.h"
#include "interp/form.h"
#include "interp/link_set.h"
#include "interp/message_window.h"
#include "interp/script_variables.h"
#include "interp/text_layout.h"
#include "script/book.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "script/tag_record.h"
#include "stage/archive_member_source.h"
#include "stage/extension_map.h"
#include "stage/picture_loader.h"
#include "stage/plugin_list.h"
#include "stage/stage.h"
#include "stage/stage_controller.h"

namespace talu::interp {

/// What Step tells the run loop; several results keep the number of the tag that causes them
/// (the traces print them).
namespace step {
/// Nothing for the run loop to do: step again.
inline constexpr int kGoOn = 1;
/// BGM: the interface thread starts or stops the music.
inline constexpr int kBgm = script::kw::kBgm;
/// STAGE: the window takes the record's WIDTH and HEIGHT.
inline constexpr int kStageSize = script::kw::kStage;
/// The book has no further item.
inline constexpr int kBookEnd = 13;
/// W without TIME: wait for a click at the record's LEFT and TOP.
inline constexpr int kClickWait = script::kw::kW;
/// BR at a line end: wait for a click, then go on.
inline constexpr int kLineWait = script::kw::kBr;
/// A page filled (P, or text or BR at the bottom): wait for the reader, then a new page.
inline constexpr int kPageWait = 16;
/// TRAP: stop until the reader acts.
inline constexpr int kTrap = script::kw::kTrap;
/// WAIT: the record carries new speeds.
inline constexpr int kSpeeds = script::kw::kWait;
/// SOUND: a sound effect to play.
inline constexpr int kSound = script::kw::kSound;
/// END: the book ends with the record's ALT as its last words.
inline constexpr int kEndTag = script::kw::kEnd;
/// TIMER: sleep until the record's TIME after the last TIMER.
inline constexpr int kTimer = script::kw::kTimer;
/// FORM or /FORM (the record tells which).
inline constexpr int kForm = script::kw::kForm;
/// INPUT: a control was added to the form.
inline constexpr int kInput = script::kw::kInput;
/// A group of links is on screen.
inline constexpr int kLinks = 76;
/// An automatic-bookmark point (BOOKMARK MODE AUTO or SEMIAUTO).
inline constexpr int kAutoBookmark = 113;
}  // namespace step

/// The reader's click flags, shared between the interface thread and the worker: index 1 is
/// set by a click while text is typed, index 3 while a CURTAIN is open.
using ClickFlags = std::array<std::atomic<int>, 6>;

/// The speeds and switches a step reads, refreshed from the player's current values before
/// every step (WAIT tags and fast-forward change them between steps).
struct EngineSettings {
    stage::StageSettings stage;
    TextSettings text;
    /// m_nUseGpx: stage tags are skipped when 0.
    int useGpx = 1;
    /// 1 wraps text in Latin letters at spaces (typing and links); 0 breaks it anywhere.
    int wrapAtSpaces = 0;
};

/// What the interpreter needs from the player; every pointer that is not marked optional must
/// be set, and the objects outlive the interpreter.
struct InterpreterServices {
    /// Script errors and plain boxes; optional.
    script::Diagnostics* diagnostics = nullptr;
    /// The debug window's feed; optional.
    script::DebugFeed* debugFeed = nullptr;
    /// Inside form of the program's folder ("PLAYER").
    std::string programFolder;
    /// The display's layers.
    stage::Stage* stage = nullptr;
    /// The display's part of the message window.
    MessageDisplay* display = nullptr;
    /// Image decoders and archive extractors, and the PLUGIN bindings.
    stage::PluginList* plugins = nullptr;
    stage::ExtensionMap* extensions = nullptr;
    /// Every pause of the book sleeps here.
    host::Clock* clock = nullptr;
    /// The reader's click flags.
    ClickFlags* clicks = nullptr;
    /// The stage's size before any STAGE tag. Every book starts on the full screen; only a
    /// fuzzer that wants cheap pixels starts smaller.
    int startWidth = stage::kScreenWidth;
    int startHeight = stage::kScreenHeight;
    /// The bookmark slot whose memo file the book reads: the current slot, 1 for a book just
    /// opened.
    int bookmarkSlot = 1;
    /// Fills the current speeds and switches; optional (the defaults stay).
    std::function<void(EngineSettings&)> readSettings;
    /// True while the reader fast-forwards (W TIME does not sleep); optional.
    std::function<bool()> fastForward;
    /// A stage tag failed: the player shows the debug window beside the main window; optional.
    std::function<void()> onStageFailure;
    /// A save point (P, BOOKMARK without attributes): the bookmark manager records the state;
    /// optional.
    std::function<void()> onSavePoint;
    /// BOOKMARK MODE=TOPPAGE: the bookmark manager rewrites the current slot to the book's top;
    /// optional.
    std::function<void()> onTopPage;
    /// A new page begins in the message window (after a full page, a chosen link, NEWPAGE),
    /// before anything of it runs; optional.
    std::function<void()> onPageStart;
    /// Every text handed to typing (after entities and braces); optional.
    std::function<void(std::string_view)> onTypeText;
    /// TITLE: the main window's caption; optional.
    std::function<void(const std::string&)> onTitle;
    /// CURSOR: loads the cursor file at an inside path as the window's cursor; true when it
    /// loaded. Optional (no cursor ever loads).
    std::function<bool(const std::string&)> loadCursor;
    /// COMMAND: SRC and FOLDER as the book gave them; optional (COMMAND does nothing).
    std::function<void(const std::string& src, const std::string& folder)> onCommand;
    /// SOUND: performs the tag, whose file is at path (FOLDER applied); false when it was not
    /// played, which leaves the tag to the run loop. Optional (every SOUND goes to the run loop).
    std::function<bool(const script::TagRecord& record, const std::string& path)> playSound;
    /// SNAP wrote a picture file at this inside path; optional.
    std::function<void(const std::string&)> onSnap;
};

/// The performer of one open book: each Step performs at most one item and tells the run loop
/// what, if anything, it must do next. Created for every book opened; Step runs on the worker.
class Interpreter {
  public:
    explicit Interpreter(InterpreterServices services);
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    /// Reads the book at an inside path; false when it cannot be read.
    bool Open(std::string_view insidePath);
    /// Prepares a fresh interpreter to continue a bookmarked reading of the book at bookPath:
    /// the message window starts empty with its first settings, pictures resolve against the
    /// book's folder and its memos are read for slot. The bookmark's state lines run next,
    /// then ReopenAt.
    void PrepareBookmarked(std::string_view bookPath, int slot);
    /// Reads file (an inside path) as the book's text and continues at item index; false when
    /// the file cannot be read or the index lies beyond its end.
    bool ReopenAt(std::string_view file, int index);
    /// Performs the next item into an empty record; returns one of the step namespace's results
    /// (the record then carries what the run loop reads).
    int Step(script::TagRecord& record);
    /// Performs one tag record (also used to replay a bookmark's state lines).
    int ExecuteTag(int id, script::TagRecord& record);

    script::Book& Book() { return book_; }
    ScriptVariables& Variables() { return variables_; }
    stage::StageController& Controller() { return controller_; }
    MessageWindow& Window() { return *window_; }
    /// The link group on screen (its layout follows the visible one).
    LinkSet& Links() { return links_; }
    /// Applies a chosen link: its ANSWER, then the jump to its HREF.
    void Choose(const script::TagRecord& chosen);
    /// Starts a new page of the message window and tells onPageStart.
    void NewPage() {
        window_->NewPage();
        if (services_.onPageStart) {
            services_.onPageStart();
        }
    }
    /// The text a full page left for the next one (CP932), typed before the next item.
    const std::string& PendingText() const { return pendingText_; }
    /// A page resumed from a saved place goes on with the text its full predecessor left.
    void SetPendingText(std::string text) { pendingText_ = std::move(text); }

    // Forms: FORM and INPUT are built by ExecuteTag on the worker; the rest runs on the
    // interface thread while no worker runs.
    /// FORM: a new empty form replaces any other; text is typed without delay until ShowForm.
    void OpenForm();
    /// INPUT: a control at the visible pen, which then moves past it; a script error without
    /// a form.
    void AddInput(const script::TagRecord& record);
    /// /FORM: the controls take their state from the variables.
    void ShowForm();
    /// The reader changed the settings while the book waits: the stage is composed again with
    /// them (its brightness behind a frameless window) and shown whole.
    void Redisplay();
    /// A command from a form control (see Form::Command); 0 without a form.
    int FormCommand(int id);
    /// Stores the submitted form's values in the variables.
    void SubmitForm();
    /// Removes the form.
    void CloseForm();
    /// The form being built or shown; null when none.
    Form* CurrentForm() { return form_ ? &*form_ : nullptr; }
    const std::string& Title() const { return title_; }
    /// The cursor file the last successful CURSOR loaded (empty for the default cursor).
    const std::string& CursorFile() const { return cursorFile_; }
    bool IconsEnabled() const { return iconsEnabled_; }
    /// The BOOKMARK tag's mode keyword (kw::kManual, kSemiAuto or kAuto) and comment text.
    int BookmarkMode() const { return bookmarkMode_; }
    const std::string& BookmarkComment() const { return bookmarkComment_; }
    /// The comment the next bookmark save writes (the bookmark dialog's Save with comment).
    void SetBookmarkComment(std::string comment) { bookmarkComment_ = std::move(comment); }
    /// Plug-ins registered by PLUGIN tags, "EXTENSION<tab>FILE" in order.
    const std::vector<std::string>& RegisteredPlugins() const { return registeredPlugins_; }
    /// Appends the bookmark lines of what the reader sees around the story: the ICON lines of
    /// the line-wait icon, then of the page-wait icon, then CURSOR and TITLE when they are set.
    void WriteReaderState(std::vector<std::string>& lines) const;
    /// Appends a bookmark's state lines apart from the music: the PLUGIN lines, the reader
    /// state, then the snapshot of stage, message window and colour filter.
    void WriteStateLines(std::vector<std::string>& lines) const;

  private:
    std::string ItemText() const { return std::string(book_.CurrentItemText()); }
    bool CurtainOpen() const;
    void AddWaitMark(script::TagRecord& record);
    int TypeRun(std::string_view text, script::TagRecord& record);
    int StageTag(const stage::TagOutcome& outcome);
    int WaitTag(script::TagRecord& record);
    int BreakTag(script::TagRecord& record);
    int PageTag(script::TagRecord& record);
    int LinkTag(script::TagRecord& record);
    void EndFormBuilding();
    int BookmarkTag(const script::TagRecord& record);
    void PluginTag(const script::TagRecord& record);
    void CursorTag(const script::TagRecord& record);

    InterpreterServices services_;
    EngineSettings settings_;
    // Includes stored in archives; none without plug-ins.
    std::optional<stage::PluginArchiveSource> archives_;
    script::Book book_;
    ScriptVariables variables_;
    stage::PictureLoader loader_;
    stage::StageController controller_;
    LinkSet links_;
    std::unique_ptr<MessageWindow> window_;
    std::optional<Form> form_;
    // Between FORM and /FORM the text effect is held off, whatever the settings say.
    bool formBuilding_ = false;
    int savedTextEffect_ = 0;

    bool pageBreak_ = false;
    std::string pendingText_;
    std::string title_;
    std::string cursorFile_;
    bool iconsEnabled_ = true;
    int bookmarkMode_ = 0;
    std::string bookmarkComment_;
    std::vector<std::string> registeredPlugins_;
};

}  // namespace talu::interp
