#include "app/bookmark_manager.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "host/atomic_file.h"
#include "host/image/sdl_image_codec.h"
#include "host/paths.h"
#include "script/book.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/sjis_text.h"
#include "script/tag_parser.h"
#include "stage/shrunk_picture.h"

namespace talu::app {
namespace {

constexpr std::string_view kNewBookmark = "NEW BOOKMARK";

bool IsAutomatic(int mode) {
    return mode == script::kw::kSemiAuto || mode == script::kw::kAuto;
}

bool IsAbsolute(std::string_view path) {
    return path.size() >= 2 && path[1] == ':';
}

std::string NumberedPath(const std::string& base, int slot, const char* suffix) {
    char text[32];
    std::snprintf(text, sizeof(text), ".%02d%s", slot, suffix);
    return base + text;
}

// The file's bytes, or nullopt when it cannot be read or is larger than any slot file can be.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxSlotFileBytes) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// True when files can be made in an inside folder: it is a real folder (not an archive) and
// writable.
bool FolderTakesFiles(const std::string& folder) {
    const auto host = host::FindHostPath(folder, {});
    std::error_code ec;
    return host && std::filesystem::is_directory(*host, ec) && access(host->c_str(), W_OK) == 0;
}

// Makes an inside folder (ending with a backslash) and the folders above it.
bool MakeFolder(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    if (folder.empty() || host::FindHostPath(folder, {})) {
        return !folder.empty();
    }
    const std::size_t slash = folder.rfind('\\');
    if (slash == std::string::npos || !MakeFolder(folder.substr(0, slash + 1))) {
        return false;
    }
    const auto host = host::HostPathForWriting(folder, {});
    std::error_code ec;
    return host && std::filesystem::create_directory(*host, ec);
}

TableEntries CurrentEntries(const script::StringTable& table) {
    TableEntries entries(table.Values().begin(), table.Values().end());
    std::sort(entries.begin(), entries.end());
    return entries;
}

void FillTable(script::StringTable& table, const TableEntries& entries) {
    table.Clear();
    table.CommitShadow();
    for (const auto& [key, value] : entries) {
        table.Set(key, value);
    }
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

int BookmarkManager::Resolve(int slot) const {
    return slot == kCurrentSlot ? CurrentSlot() : slot;
}

std::string BookmarkManager::FileBase() const {
    // Cut at the book file's own extension: a dot in a folder name is part of the folder.
    const std::string path = BookPath();
    const std::size_t nameStart = script::FolderOf(path).size();
    std::size_t dot = script::npos;
    for (std::size_t i = script::FindChar(path, '.', nameStart); i != script::npos;
         i = script::FindChar(path, '.', i + 1)) {
        dot = i;
    }
    const std::string base = dot == script::npos ? path : path.substr(0, dot);
    std::string spare;
    {
        std::lock_guard lock(mutex_);
        spare = spareFolder_;
    }
    if (spare.empty() || FolderTakesFiles(path.substr(0, nameStart))) {
        return base;
    }
    return spare + base.substr(nameStart);
}

bool BookmarkManager::MakeSpareFolder() const {
    std::string spare;
    {
        std::lock_guard lock(mutex_);
        spare = spareFolder_;
    }
    return spare.empty() || !FileBase().starts_with(spare) || MakeFolder(spare);
}

std::string BookmarkManager::BookFolder() const {
    return std::string(script::FolderOf(BookPath()));
}

std::string BookmarkManager::SlotPath(int slot) const {
    return NumberedPath(FileBase(), Resolve(slot), ".bmk");
}

std::string BookmarkManager::SlotMemoPath(int slot) const {
    return NumberedPath(FileBase(), Resolve(slot), ".memo");
}

std::string BookmarkManager::SlotPicturePath(int slot) const {
    return NumberedPath(FileBase(), Resolve(slot), ".png");
}

std::string BookmarkManager::BookMemoPath() const {
    return FileBase() + ".memo";
}

std::string BookmarkManager::DateText() const {
    const LocalTime t = services_.now();
    char text[32];
    std::snprintf(text, sizeof(text), "%02d/%02d %02d:%02d", t.month, t.day, t.hour, t.minute);
    return text;
}

std::string BookmarkManager::ShowError(int code) {
    std::string text;
    script::FormatScriptError(services_.langMode(), code, text, "");
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

void BookmarkManager::RebuildRecords(interp::Interpreter& interpreter, bool takePicture) {
    interpreter.Variables().Commit();
    const std::string bookPath = BookPath();
    const std::string folder = BookFolder();
    Position position;
    position.bookFile = bookPath.substr(script::FolderOf(bookPath).size());
    position.file = interpreter.Book().Path();
    if (script::ToLowerAscii(position.file).starts_with(script::ToLowerAscii(folder)) &&
        !folder.empty()) {
        position.file.erase(0, folder.size());
    }
    position.index = interpreter.Book().CurrentIndex();
    std::vector<std::string> state;
    interpreter.WriteStateLines(state);
    services_.musicLines(state);
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

    MakeSpareFolder();
    const std::string slotPath = SlotPath(number);
    const std::string memoPath = SlotMemoPath(number);
    const std::string bookMemoPath = BookMemoPath();
    const auto slotHost = host::HostPathForWriting(slotPath, {});
    const auto memoHost = host::HostPathForWriting(memoPath, {});
    const auto bookMemoHost = host::HostPathForWriting(bookMemoPath, {});
    if (!slotHost || !memoHost || !bookMemoHost) {
        ShowError(script::err::kBookmarkCannotOpen);
        return false;
    }
    const std::string bytes = FormatSlotFile(file);
    const std::string memo = variables.BookmarkMemo().Text();
    const std::string bookMemo = variables.BookMemo().Text();
    // The bookmark goes last: should a rename fail half way, the slot still loads as before.
    const host::FileContents files[] = {
        {*memoHost, memo}, {*bookMemoHost, bookMemo}, {*slotHost, bytes}};
    if (!host::WriteFilesAtomically(files)) {
        ShowError(script::err::kSaveFailed);
        return false;
    }
    variables.BookmarkMemo().Rebind(memoPath);
    variables.BookMemo().Rebind(bookMemoPath);
    WritePicture(number);
    if (number >= 1) {
        std::lock_guard lock(mutex_);
        currentSlot_ = number;
    }
    return true;
}

void BookmarkManager::WritePicture(int number) {
    std::optional<host::RgbaImage> picture;
    std::string bytes;
    {
        std::lock_guard lock(mutex_);
        if (haveShot_) {
            picture = stage::ShrunkPicture(shot_, kSlotPictureWidth, kSlotPictureHeight);
        } else {
            bytes = loadedPicture_;
        }
    }
    if (picture) {
        bytes = host::EncodePng(*picture).value_or(std::string());
    }
    // The picture only shows the place: a slot is saved whether or not it can be written, and
    // a slot whose picture could not be written shows none rather than an older place's.
    const auto host = host::HostPathForWriting(SlotPicturePath(number), {});
    if (bytes.empty() || !host || !host::WriteFileAtomically(*host, bytes)) {
        RemovePicture(number);
    }
}

void BookmarkManager::RemovePicture(int number) const {
    if (const auto host = host::FindHostPath(SlotPicturePath(number), {})) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(*host, ec)) {
            std::filesystem::remove(*host, ec);
        }
    }
}

bool BookmarkManager::Initialize(int slot) {
    const int number = Resolve(slot);
    MakeSpareFolder();
    const auto host = number >= 0 && number < kSlots
                          ? host::HostPathForWriting(SlotPath(number), {})
                          : std::nullopt;
    const std::string bookPath = BookPath();
    SlotFile file;
    file.bookFile = bookPath.substr(script::FolderOf(bookPath).size());
    file.headerPosition = file.bookFile;
    file.date = DateText();
    file.comment = std::string(kNewBookmark);
    file.positionFile = file.bookFile;
    file.positionIndex = -1;
    if (!host || !host::WriteFileAtomically(*host, FormatSlotFile(file))) {
        services_.showBox(
            script::PlayerMessage(services_.langMode(), script::msg::kInitializeFailed));
        return false;
    }
    RemovePicture(number);
    return true;
}

void BookmarkManager::TopPage(interp::Interpreter& interpreter) {
    const int number = CurrentSlot();
    const std::string path = SlotPath(number);
    const std::string bookPath = BookPath();
    SlotFile file;
    file.bookFile = bookPath.substr(script::FolderOf(bookPath).size());
    file.headerPosition = file.bookFile;
    // The slot keeps the comment it had; a slot without one takes the book's, if any.
    file.comment = interpreter.BookmarkComment().empty() ? std::string(kNewBookmark)
                                                         : interpreter.BookmarkComment();
    if (auto host = host::FindHostPath(path, {})) {
        std::string problem;
        if (auto bytes = ReadSmallFile(*host)) {
            if (auto old = ParseSlotFile(*bytes, problem)) {
                file.comment = old->comment;
            }
        }
    }
    file.date = DateText();
    file.bookmarks = CurrentEntries(interpreter.Variables().Bookmarks());
    file.positionFile = file.bookFile;
    file.positionIndex = -1;
    MakeSpareFolder();
    const auto host = host::HostPathForWriting(path, {});
    if (!host || !host::WriteFileAtomically(*host, FormatSlotFile(file))) {
        ShowError(script::err::kSaveFailed);
        return;
    }
    RemovePicture(number);  // the slot now starts at the top, which the picture does not show
}

std::optional<SlotFile> BookmarkManager::ReadForLoad(int slot, const script::Book& openBook) {
    const int number = Resolve(slot);
    const auto host =
        number >= 0 && number < kSlots ? host::FindHostPath(SlotPath(number), {}) : std::nullopt;
    if (!host) {
        services_.showBox(script::PlayerMessageForSlot(services_.langMode(),
                                                       script::msg::kCannotLoadSlot, number));
        return std::nullopt;
    }
    const std::optional<std::string> bytes = ReadSmallFile(*host);
    if (!bytes) {
        ShowError(script::err::kBookmarkCannotOpen);
        return std::nullopt;
    }
    std::string problem;
    std::optional<SlotFile> file = ParseSlotFile(*bytes, problem);
    if (file) {
        // The book file must be there, and the saved item must lie within the file to reopen.
        const std::string folder = BookFolder();
        const std::string reopen = IsAbsolute(file->positionFile)
                                       ? file->positionFile
                                       : script::JoinPath(folder, file->positionFile);
        const std::string book = script::JoinPath(folder, file->bookFile);
        script::Book scratch{script::BookServices{nullptr, nullptr, openBook.Archives(), {}}};
        const bool bookThere = book == reopen || scratch.OpenPath(book);
        if (!bookThere || !scratch.OpenPath(reopen) || scratch.Items().empty() ||
            static_cast<std::size_t>(file->positionIndex) > scratch.Items().size()) {
            file.reset();
        }
    }
    if (!file) {
        ShowError(script::err::kLoadFailed);
    }
    return file;
}

bool BookmarkManager::Restore(
    interp::Interpreter& fresh, const SlotFile& slot, int number,
    const std::function<void(int result, const script::TagRecord&)>& executed) {
    number = Resolve(number);
    const std::string folder = BookFolder();
    const std::string bookPath = folder + slot.bookFile;
    fresh.PrepareBookmarked(bookPath, number);
    interp::ScriptVariables& variables = fresh.Variables();
    {
        std::lock_guard lock(mutex_);
        bookPath_ = bookPath;
    }
    BindMemos(variables, number);
    FillTable(fresh.Book().Substitutions(), slot.substitutions);
    FillTable(variables.Variables(), slot.variables);
    FillTable(variables.Bookmarks(), slot.bookmarks);
    script::TagRecord record;
    for (const std::string& line : slot.state) {
        record.Clear();
        if (line.empty() || !script::ParseItem(line, record)) {
            continue;
        }
        int id = 0;
        record.GetCommand(id);
        const int result = fresh.ExecuteTag(id, record);
        if (executed) {
            executed(result, record);
        }
    }
    const std::string reopen = IsAbsolute(slot.positionFile)
                                   ? slot.positionFile
                                   : script::JoinPath(folder, slot.positionFile);
    if (!fresh.ReopenAt(reopen, slot.positionIndex)) {
        ShowError(script::err::kLoadFailed);
        return false;
    }
    RebuildRecords(fresh, false);
    {
        // Saving again before the next save point keeps the loaded place's picture.
        std::string picture;
        if (const auto host = host::FindHostPath(SlotPicturePath(number), {})) {
            picture = ReadSmallFile(*host).value_or(std::string());
        }
        std::lock_guard lock(mutex_);
        haveShot_ = false;
        loadedPicture_ = std::move(picture);
    }
    if (number >= 1) {
        std::lock_guard lock(mutex_);
        currentSlot_ = number;
    }
    return true;
}

void BookmarkManager::BindMemos(interp::ScriptVariables& variables, int slot) const {
    variables.BookmarkMemo().Load(SlotMemoPath(slot));
    variables.BookMemo().Load(BookMemoPath());
}

std::array<SlotSummary, 9> BookmarkManager::SlotList() const {
    std::array<SlotSummary, 9> list;
    for (int number = 1; number <= 9; ++number) {
        SlotSummary& summary = list[number - 1];
        const auto host = host::FindHostPath(SlotPath(number), {});
        if (!host) {
            continue;
        }
        std::string problem;
        if (auto bytes = ReadSmallFile(*host)) {
            if (auto file = ParseSlotFile(*bytes, problem)) {
                summary.date = file->date;
                summary.comment = file->comment;
                summary.hasData = true;
            }
        }
    }
    return list;
}

}  // namespace talu::app
