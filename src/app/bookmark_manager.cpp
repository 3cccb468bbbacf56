#include "app/bookmark_manager.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/backlog_file.h"
#include "app/book_folder_paths.h"
#include "app/slot_place.h"
#include "app/slot_reader.h"
#include "app/slot_writer.h"
#include "app/table_entries.h"
#include "host/atomic_file.h"
#include "host/image/sdl_image_codec.h"
#include "host/paths.h"
#include "host/regular_file.h"
#include "script/book.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/sjis_text.h"
#include "script/tag_parser.h"
#include "stage/shrunk_picture.h"

namespace talu::app {
namespace {

constexpr std::string_view kNewBookmark = "NEW BOOKMARK";
// Far above any PNG of kSlotPictureWidth by kSlotPictureHeight.
constexpr std::size_t kMaxSlotPictureBytes = std::size_t{1} << 20;

bool IsAutomatic(int mode) {
    return mode == script::kw::kSemiAuto || mode == script::kw::kAuto;
}

}  // namespace

LocalTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return LocalTime{local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::string SlotSummary::ListLine() const {
    return " " + (date.empty() ? std::string("?? ??:??") : date) + " - " +
           (hasData ? comment : std::string("NO DATA"));
}

BookmarkManager::BookmarkManager(BookmarkServices services) : services_(std::move(services)) {}

void BookmarkManager::Reset(std::string bookPath) {
    std::string spare = services_.spareFolder ? services_.spareFolder() : std::string();
    std::lock_guard lock(mutex_);
    bookPath_ = std::move(bookPath);
    spareFolder_ = std::move(spare);
    currentSlot_ = 1;
    position_.reset();
    state_.clear();
    haveShot_ = false;
    loadedPicture_.clear();
}

int BookmarkManager::CurrentSlot() const {
    std::lock_guard lock(mutex_);
    return currentSlot_;
}

std::string BookmarkManager::BookPath() const {
    std::lock_guard lock(mutex_);
    return bookPath_;
}

SlotPaths BookmarkManager::Paths() const {
    std::lock_guard lock(mutex_);
    return SlotPaths(bookPath_, spareFolder_);
}

int BookmarkManager::Resolve(int slot) const {
    return slot == kCurrentSlot ? CurrentSlot() : slot;
}

std::string BookmarkManager::SlotPath(int slot) const {
    return Paths().Slot(Resolve(slot));
}

std::string BookmarkManager::SlotMemoPath(int slot) const {
    return Paths().Memo(Resolve(slot));
}

std::string BookmarkManager::SlotPicturePath(int slot) const {
    return Paths().Picture(Resolve(slot));
}

std::string BookmarkManager::SlotLogPath(int slot) const {
    return Paths().Log(Resolve(slot));
}

std::string BookmarkManager::BookMemoPath() const {
    return Paths().BookMemo();
}

std::string BookmarkManager::ReadPagesPath() const {
    return Paths().ReadPages();
}

bool BookmarkManager::MakeSpareFolder() const {
    return Paths().MakeSpareFolder();
}

std::string BookmarkManager::DateText() const {
    const LocalTime t = services_.now();
    char text[32];
    std::snprintf(text, sizeof(text), "%02d/%02d %02d:%02d", t.month, t.day, t.hour, t.minute);
    return text;
}

std::string BookmarkManager::ShowError(int code, std::string_view argument) {
    std::string text;
    script::FormatScriptError(services_.langMode(), code, text, argument);
    services_.showBox(text);
    return text;
}

bool BookmarkManager::SlotExists(int slot) const {
    const int number = Resolve(slot);
    return number >= 0 && number < kSlots && host::FindHostPath(SlotPath(number), {}).has_value();
}

bool BookmarkManager::HasSavePoint() const {
    std::lock_guard lock(mutex_);
    return position_.has_value();
}

BookmarkManager::Position BookmarkManager::CurrentPosition(interp::Interpreter& interpreter) const {
    const SlotPaths paths = Paths();
    const std::string folder = paths.BookFolder();
    Position position;
    position.bookFile = paths.BookFileName();
    position.file = interpreter.Book().Path();
    if (script::ToLowerAscii(position.file).starts_with(script::ToLowerAscii(folder)) &&
        !folder.empty()) {
        position.file.erase(0, folder.size());
    }
    position.index = interpreter.Book().CurrentIndex();
    return position;
}

std::vector<std::string> BookmarkManager::CurrentState(interp::Interpreter& interpreter) const {
    std::vector<std::string> state;
    interpreter.WriteStateLines(state);
    services_.musicLines(state);
    return state;
}

void BookmarkManager::RebuildRecords(interp::Interpreter& interpreter, bool takePicture) {
    interpreter.Variables().Commit();
    Position position = CurrentPosition(interpreter);
    std::vector<std::string> state = CurrentState(interpreter);
    std::lock_guard lock(mutex_);
    position_ = std::move(position);
    state_ = std::move(state);
    if (takePicture) {
        haveShot_ = services_.copyStage && services_.copyStage(shot_);
        loadedPicture_.clear();
    }
}

void BookmarkManager::SavePoint(interp::Interpreter& interpreter) {
    RebuildRecords(interpreter, true);
    if (IsAutomatic(interpreter.BookmarkMode())) {
        WriteSlot(interpreter, kCurrentSlot);
    }
}

bool BookmarkManager::Save(interp::Interpreter& interpreter, int slot) {
    if (IsAutomatic(interpreter.BookmarkMode())) {
        ShowError(script::err::kAutoSaveOnly);
        return false;
    }
    if (interpreter.Book().Items().empty()) {
        ShowError(script::err::kCannotSave);
        return false;
    }
    bool recorded = false;
    {
        std::lock_guard lock(mutex_);
        recorded = position_.has_value();
    }
    if (!recorded) {
        services_.showBox(
            script::PlayerMessage(services_.langMode(), script::msg::kUnableToSaveYet));
        return false;
    }
    return WriteSlot(interpreter, slot);
}

bool BookmarkManager::WriteSlot(interp::Interpreter& interpreter, int slot) {
    const int number = Resolve(slot);
    if (number < 0 || number >= kSlots) {
        ShowError(script::err::kBookmarkCannotOpen);
        return false;
    }
    SlotFile file;
    {
        std::lock_guard lock(mutex_);
        if (!position_) {
            return false;
        }
        file.headerPosition = position_->file + '\t' + std::to_string(position_->index);
        file.bookFile = position_->bookFile;
        file.positionFile = position_->file;
        file.positionIndex = position_->index;
        file.state = state_;
    }
    file.date = DateText();
    file.comment = interpreter.BookmarkComment().empty() ? std::string(kNewBookmark)
                                                         : interpreter.BookmarkComment();
    // A comment typed or pasted by the reader may hold a tab or a line break, which would split
    // the header line and make the slot unreadable.
    std::replace_if(
        file.comment.begin(), file.comment.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; }, ' ');
    interp::ScriptVariables& variables = interpreter.Variables();
    file.substitutions = interpreter.Book().Substitutions().SavedEntries();
    file.variables = variables.Variables().SavedEntries();
    file.bookmarks = variables.Bookmarks().SavedEntries();

    // What the load would refuse or read differently is never written over a slot that loads.
    std::string problem;
    const std::optional<std::string> bytes = FormatLoadableSlotFile(file, problem);
    const std::optional<std::string> memo = LoadableMemoText(variables.BookmarkMemo());
    const std::optional<std::string> bookMemo = LoadableMemoText(variables.BookMemo());
    if (!bytes || !memo || !bookMemo) {
        ShowError(script::err::kSaveFailed);
        return false;
    }
    const SlotPaths paths = Paths();
    paths.MakeSpareFolder();
    const SlotFiles files{paths.Slot(number),
                          paths.Memo(number),
                          paths.BookMemo(),
                          paths.Picture(number),
                          *bytes,
                          *memo,
                          *bookMemo,
                          SlotPicture(),
                          paths.Place(number),
                          PlaceText(interpreter, file, *bytes)};
    const SlotWriteOutcome outcome = WriteSlotFiles(files);
    if (outcome != SlotWriteOutcome::kWritten) {
        ShowError(outcome == SlotWriteOutcome::kNoPlace ? script::err::kBookmarkCannotOpen
                                                        : script::err::kSaveFailed);
        return false;
    }
    // The log only adds to the slot: one that cannot be written goes, never an old one stays.
    if (!services_.backlog || !WriteBacklogFile(paths.Log(number), services_.backlog())) {
        RemoveBacklogFile(paths.Log(number));
    }
    variables.BookmarkMemo().Rebind(files.memoPath);
    variables.BookMemo().Rebind(files.bookMemoPath);
    if (number >= 1) {
        std::lock_guard lock(mutex_);
        currentSlot_ = number;
    }
    return true;
}

std::string BookmarkManager::SlotPicture() {
    std::optional<host::RgbaImage> picture;
    {
        std::lock_guard lock(mutex_);
        if (!haveShot_) {
            return loadedPicture_;
        }
        picture = stage::ShrunkPicture(shot_, kSlotPictureWidth, kSlotPictureHeight);
    }
    // The picture only shows the place: a slot whose picture cannot be made is saved without.
    return host::EncodePng(*picture).value_or(std::string());
}

SlotFile BookmarkManager::FreshSlot(std::string comment) const {
    SlotFile file;
    file.bookFile = Paths().BookFileName();
    file.headerPosition = file.bookFile;
    file.date = DateText();
    file.comment = std::move(comment);
    file.positionFile = file.bookFile;
    file.positionIndex = -1;
    return file;
}

bool BookmarkManager::WriteTopSlot(int number, const SlotFile& file) {
    const SlotPaths paths = Paths();
    paths.MakeSpareFolder();
    std::string problem;
    const std::optional<std::string> bytes = FormatLoadableSlotFile(file, problem);
    const auto host = number >= 0 && number < kSlots
                          ? host::HostPathForWriting(paths.Slot(number), {})
                          : std::nullopt;
    if (!bytes || !host || !host::WriteFileAtomically(*host, *bytes)) {
        return false;
    }
    RemoveSlotSideFile(paths.Picture(number));  // the top of the book shows no place yet
    RemoveSlotSideFile(paths.Place(number));    // nor has any text around it
    RemoveBacklogFile(paths.Log(number));       // nor any page read
    return true;
}

bool BookmarkManager::Initialize(int slot) {
    if (!WriteTopSlot(Resolve(slot), FreshSlot(std::string(kNewBookmark)))) {
        services_.showBox(
            script::PlayerMessage(services_.langMode(), script::msg::kInitializeFailed));
        return false;
    }
    return true;
}

void BookmarkManager::TopPage(interp::Interpreter& interpreter) {
    const int number = CurrentSlot();
    // The slot keeps the comment it had; a slot without one takes the book's, if any.
    SlotFile file =
        FreshSlot(interpreter.BookmarkComment().empty() ? std::string(kNewBookmark)
                                                        : interpreter.BookmarkComment());
    SlotReadProblem problem{};
    if (const std::optional<SlotFile> old = ReadSlot(Paths(), number, problem)) {
        file.comment = old->comment;
    }
    file.bookmarks = CurrentEntries(interpreter.Variables().Bookmarks());
    if (!WriteTopSlot(number, file)) {
        ShowError(script::err::kSaveFailed);
    }
}

std::optional<SlotFile> BookmarkManager::ReadForLoad(int slot, const script::Book& openBook) {
    const int number = Resolve(slot);
    const SlotPaths paths = Paths();
    SlotReadProblem problem = SlotReadProblem::kMissing;
    std::optional<SlotFile> file;
    if (number >= 0 && number < kSlots) {
        file = ReadSlot(paths, number, problem);
    }
    // The place belongs to the slot's bytes as written, before the position is made absolute.
    const std::uint64_t slotHash = file ? PlaceHash(FormatSlotFile(*file)) : 0;
    if (file && !CheckSlotPlace(*file, paths, openBook)) {
        file.reset();
        problem = SlotReadProblem::kRefused;
    }
    // Slot 0 is the author's debug slot: Reload reads the edited book at the saved item, as ever.
    if (file && number != 0 && !FollowPlace(*file, paths.Place(number), slotHash, openBook)) {
        return std::nullopt;  // the reader kept the book as it is
    }
    if (!file && problem == SlotReadProblem::kMissing) {
        services_.showBox(script::PlayerMessageForSlot(services_.langMode(),
                                                       script::msg::kCannotLoadSlot, number));
    } else if (!file) {
        ShowError(problem == SlotReadProblem::kUnreadable ? script::err::kBookmarkCannotOpen
                                                          : script::err::kLoadFailed);
    }
    return file;
}

void BookmarkManager::RestoreState(
    interp::Interpreter& fresh, const SlotFile& slot, const std::string& folder,
    const std::function<void(int result, const script::TagRecord&)>& executed) {
    script::TagRecord record;
    for (const std::string& line : slot.state) {
        record.Clear();
        if (line.empty() || !script::ParseItem(line, record)) {
            continue;
        }
        // A file outside the book's folder is never opened for a slot.
        if (const auto outside = ConfineStateTag(record, fresh.Book(), folder)) {
            ShowError(script::err::kCannotOpenFile, *outside);
            continue;
        }
        int id = 0;
        record.GetCommand(id);
        const int result = fresh.ExecuteTag(id, record);
        if (executed) {
            executed(result, record);
        }
    }
}

bool BookmarkManager::Restore(
    interp::Interpreter& fresh, const SlotFile& slot, int number,
    const std::function<void(int result, const script::TagRecord&)>& executed) {
    number = Resolve(number);
    const std::string folder = Paths().BookFolder();
    fresh.PrepareBookmarked(BookPath(), number);
    interp::ScriptVariables& variables = fresh.Variables();
    BindMemos(variables, number);
    FillTable(fresh.Book().Substitutions(), slot.substitutions);
    FillTable(variables.Variables(), slot.variables);
    FillTable(variables.Bookmarks(), slot.bookmarks);
    RestoreState(fresh, slot, folder, executed);
    if (!fresh.ReopenAt(slot.positionFile, slot.positionIndex)) {
        ShowError(script::err::kLoadFailed);
        return false;
    }
    RebuildRecords(fresh, false);
    KeepLoadedPicture(number);
    if (number >= 1) {
        std::lock_guard lock(mutex_);
        currentSlot_ = number;
    }
    return true;
}

void BookmarkManager::KeepLoadedPicture(int number) {
    // Saving again before the next save point keeps the loaded place's picture.
    std::string picture;
    if (const auto host = host::FindHostPath(SlotPicturePath(number), {})) {
        picture = host::ReadRegularFile(*host, kMaxSlotPictureBytes).bytes.value_or("");
    }
    std::lock_guard lock(mutex_);
    haveShot_ = false;
    loadedPicture_ = std::move(picture);
}

void BookmarkManager::BindMemos(interp::ScriptVariables& variables, int slot) const {
    variables.BookmarkMemo().Load(SlotMemoPath(slot));
    variables.BookMemo().Load(BookMemoPath());
}

std::array<SlotSummary, 9> BookmarkManager::SlotList() const {
    std::array<SlotSummary, 9> list;
    const SlotPaths paths = Paths();
    for (int number = 1; number <= 9; ++number) {
        SlotSummary& summary = list[number - 1];
        SlotReadProblem problem{};
        if (const std::optional<SlotFile> file = ReadSlot(paths, number, problem)) {
            summary.date = file->date;
            summary.comment = file->comment;
            summary.hasData = true;
        }
    }
    return list;
}

}  // namespace talu::app
