#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/backlog.h"
#include "app/page_save_point.h"
#include "app/slot_file.h"
#include "app/slot_paths.h"
#include "interp/interpreter.h"
#include "script/tag_record.h"
#include "stage/surface.h"

namespace talu::app {

/// A moment of the reader's local time, as bookmark headers write it.
struct LocalTime {
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};

/// The reader's local time now.
LocalTime LocalTimeNow();

/// What the bookmark manager needs from the player around it. Every function must be set.
struct BookmarkServices {
    /// Shows a box with OK (CP932 text) and returns once it is closed; called on the thread
    /// that saves or loads.
    std::function<void(const std::string& text)> showBox;
    /// 0 Japanese, 1 English, read when a message is shown.
    std::function<int()> langMode;
    /// The time a header records.
    std::function<LocalTime()> now;
    /// Appends the BGM line of the music set now, if any.
    std::function<void(std::vector<std::string>& lines)> musicLines;
    /// Optional: copies the stage as the reader sees it now into out (false when it cannot), at
    /// each save point; a slot saved later keeps a small picture of it beside its file. Without
    /// it slots get no picture.
    std::function<bool(stage::Surface& out)> copyStage;
    /// Optional: the inside folder (ending with a backslash) where a book whose own folder takes
    /// no files (an archive, a read-only folder) keeps its bookmarks and memos, named after the
    /// book; read when a book is opened.
    std::function<std::string()> spareFolder;
    /// Optional: the backlog pages a slot saved now keeps in its log beside it. Without it a
    /// saved slot has no log.
    std::function<std::vector<BacklogEntry>()> backlog;
    /// Optional: asks a question with OK and Cancel (CP932 text); true for OK. Without it a slot
    /// whose text is gone from an edited book loads at its saved item.
    std::function<bool(const std::string& text)> ask;
    /// Optional: told when a load found the book edited: the saved index and where its text
    /// stands now, or nullopt when it stands nowhere.
    std::function<void(int oldIndex, std::optional<int> newIndex)> placeFollowed;
};

/// The size of the picture each slot keeps beside its file.
inline constexpr int kSlotPictureWidth = 160;
inline constexpr int kSlotPictureHeight = 120;

/// A slot of the bookmark dialog's list.
struct SlotSummary {
    std::string date;
    std::string comment;
    bool hasData = false;
    /// The line the list shows: " DATE - COMMENT", "?? ??:??" and "NO DATA" standing in.
    std::string ListLine() const;
};

/// The ten bookmark slots of one open book (1 to 9 for the reader, 0 for the debug window):
/// where the book last passed a save point and the state that rebuilds it, written to slot
/// files beside the book and read back. Saves never destroy what a slot held before: a save
/// either replaces the slot and its memo whole or leaves them byte for byte as they were.
///
/// Save points run on the worker, everything else on the interface thread while no worker
/// runs; the manager's own fields are guarded, the interpreter's are the caller's to keep
/// still.
class BookmarkManager {
  public:
    static constexpr int kCurrentSlot = -1;
    static constexpr int kSlots = 10;

    explicit BookmarkManager(BookmarkServices services);

    /// A book was opened at bookPath (an inside path): mode MANUAL, slot 1, no records.
    void Reset(std::string bookPath);
    /// A save point (P, or BOOKMARK without attributes): the records are rebuilt and, in the
    /// automatic modes, the current slot is saved at once.
    void SavePoint(interp::Interpreter& interpreter);
    /// BOOKMARK MODE=TOPPAGE: the current slot starts the book from the top, keeping its
    /// comment and the bookmark table.
    void TopPage(interp::Interpreter& interpreter);

    /// The reader's Save (slot, or kCurrentSlot): refused in the automatic modes (error 19),
    /// without book text (error 20) and before the first save point; refused with error 22,
    /// the slot untouched, when the load would not read back the same values. Failures are
    /// shown.
    bool Save(interp::Interpreter& interpreter, int slot);
    /// Writes the slot of a fresh start (the book's top, no values). The failure is shown.
    bool Initialize(int slot);

    /// Load, first half: reads the slot's file (a regular file, never followed) and checks all
    /// of it before anything is reset: six blocks and nothing after them, the open book's own
    /// file named in block 5 (a slot of another book is foreign), and a position naming a book
    /// file inside the book's folder (never a file the player writes) that opens as the open
    /// book reads it, from inside archives too, with the item index within it. A missing file
    /// shows the "unable to load" text, an unreadable one error 25, anything else "Load fail.";
    /// nullopt then. A slot with a place beside it whose book file was edited since loads
    /// where the text around its item stands now (the reader is told), or, when that text is
    /// gone, at its saved item only if the reader says so (nullopt otherwise).
    std::optional<SlotFile> ReadForLoad(int slot, const script::Book& openBook);
    /// Load, second half, into a fresh interpreter, with a slot ReadForLoad gave: the tables,
    /// the state lines (each one's result and record go to executed, for the music and the
    /// window size; a line naming a file outside the book's folder, after a moved folder's
    /// names are matched, is left out with error 0), the book reopened at the saved item. False
    /// (with "Load fail." shown) only when the book file changed under the load.
    bool Restore(interp::Interpreter& fresh, const SlotFile& slot, int number,
                 const std::function<void(int result, const script::TagRecord&)>& executed);

    /// The place the current page begins, as a save point records it (the tables as they are
    /// now, the bookmark memo, the text a full page left), kept in memory only. Worker, at the
    /// start of a page, or the interface thread while no worker runs.
    PageSavePoint CapturePage(interp::Interpreter& interpreter);
    /// Going back: restores a fresh interpreter to point as Restore does a slot, in the current
    /// slot, with the bookmark memo as it was (its file follows) and the book memo as it is now.
    /// A later save keeps this place, unless the page began with text a full page left (which
    /// no slot holds): then nothing can be saved until the next save point. False (with "Load
    /// fail." shown) when the book file cannot be reopened.
    bool RestorePage(interp::Interpreter& fresh, const PageSavePoint& point,
                     const std::function<void(int result, const script::TagRecord&)>& executed);

    /// Loads the book's memos from the files this manager names for them (beside the book, or in
    /// the spare folder), the bookmark memo of slot.
    void BindMemos(interp::ScriptVariables& variables, int slot) const;
    /// Slots 1 to 9 for the dialog.
    std::array<SlotSummary, 9> SlotList() const;
    /// True when the slot's file exists.
    bool SlotExists(int slot) const;
    /// True once a save point (or a load) has recorded a place a save can keep.
    bool HasSavePoint() const;
    int CurrentSlot() const;
    std::string BookPath() const;
    /// The inside paths of a slot's bookmark and memo, and of the book memo: beside the book, or
    /// in the spare folder when the book's folder takes no files.
    std::string SlotPath(int slot) const;
    std::string SlotMemoPath(int slot) const;
    std::string BookMemoPath() const;
    /// The inside path of the pages read in the book, beside the book memo.
    std::string ReadPagesPath() const;
    /// Makes the spare folder when the book's files go there; false when it cannot be made.
    bool MakeSpareFolder() const;
    /// The inside path of the PNG picture kept beside a slot's bookmark.
    std::string SlotPicturePath(int slot) const;
    /// The inside path of the backlog kept beside a slot's bookmark.
    std::string SlotLogPath(int slot) const;

  private:
    struct Position {
        std::string bookFile;
        std::string file;
        int index = 0;
    };

    SlotPaths Paths() const;
    int Resolve(int slot) const;
    Position CurrentPosition(interp::Interpreter& interpreter) const;
    std::vector<std::string> CurrentState(interp::Interpreter& interpreter) const;
    void RebuildRecords(interp::Interpreter& interpreter, bool takePicture);
    bool WriteSlot(interp::Interpreter& interpreter, int slot);
    std::string SlotPicture();
    bool WriteTopSlot(int number, const SlotFile& file);
    void RestoreState(interp::Interpreter& fresh, const SlotFile& slot, const std::string& folder,
                      const std::function<void(int result, const script::TagRecord&)>& executed);
    void KeepLoadedPicture(int number);
    std::string PlaceText(interp::Interpreter& interpreter, const SlotFile& file,
                          const std::string& slotBytes) const;
    bool FollowPlace(SlotFile& slot, const std::string& placePath, std::uint64_t slotHash,
                     const script::Book& openBook);
    std::string ShowError(int code, std::string_view argument = {});
    std::string DateText() const;
    SlotFile FreshSlot(std::string comment) const;

    BookmarkServices services_;
    mutable std::mutex mutex_;
    std::string bookPath_;
    std::string spareFolder_;
    int currentSlot_ = 1;
    std::optional<Position> position_;
    std::vector<std::string> state_;
    // The slot's picture: the stage at the last save point (when shot_ holds it), else the PNG
    // of the slot last loaded. Copied whole at the save point, shrunk only when a slot is saved.
    stage::Surface shot_;
    bool haveShot_ = false;
    std::string loadedPicture_;
};

}  // namespace talu::app
