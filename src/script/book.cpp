#include "script/book.h"

#include <algorithm>

#include "host/encoding.h"
#include "script/debug_feed.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/sjis_text.h"
#include "script/tag_parser.h"
#include "script/tokenizer.h"

namespace talu::script {
namespace {

// Deeper chains are surely a mistake, and each level costs stack.
constexpr std::size_t kMaxIncludeDepth = 64;
// Item::file is 16 bits wide; a book of more file readings shares the last index.
constexpr std::size_t kMaxFileIndex = UINT16_MAX;

// What identifies a file being read: its host file, or its inside path for archive members.
const std::string& FileKey(const BookFile& file) {
    return file.HostPath().empty() ? file.Path() : file.HostPath();
}

// The last separator of a path, stepping over double-byte characters (whose trail byte may
// be 0x5C, the backslash).
std::size_t LastSeparator(std::string_view path, bool slashToo) {
    std::size_t last = npos;
    for (std::size_t i = 0; i < path.size(); i += host::CharLength(path, i)) {
        if (path[i] == '\\' || (slashToo && path[i] == '/')) {
            last = i;
        }
    }
    return last;
}

}  // namespace

std::string_view FolderOf(std::string_view path) {
    std::size_t last = LastSeparator(path, true);
    if (last != npos) {
        return path.substr(0, last + 1);
    }
    if (path.size() >= 2 && path[1] == ':') {
        return path.substr(0, 2);
    }
    return {};
}

// Books of millions of items are held whole: where an item came from must not cost memory.
static_assert(sizeof(Book::Item) == sizeof(std::string) + 8);

std::string JoinPath(std::string_view folder, std::string_view relative) {
    std::string joined(folder);
    if (joined.empty() || joined.back() != '\\') {
        joined += '\\';
    }
    // The folder part that ".." never removes: the drive ("Z:\\") when there is one.
    const std::size_t root = joined.size() >= 3 && joined[1] == ':' && joined[2] == '\\' ? 3 : 0;
    bool endsWithFile = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= relative.size();) {
        if (i < relative.size() && relative[i] != '\\') {
            i += host::CharLength(relative, i);
            continue;
        }
        std::string_view part = relative.substr(start, i - start);
        if (part == "..") {
            if (joined.size() > root) {
                joined.pop_back();
                std::size_t cut = LastSeparator(joined, false);
                joined.resize(cut == std::string::npos || cut + 1 < root ? root : cut + 1);
            }
            endsWithFile = false;
        } else if (!part.empty() && part != ".") {
            joined.append(part);
            joined += '\\';
            endsWithFile = true;
        } else {
            endsWithFile = false;
        }
        start = ++i;
    }
    if (endsWithFile) {
        joined.pop_back();
    }
    return joined;
}

void Substitute(const StringTable& table, TagRecord& record) {
    const std::vector<std::string>& entries = record.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto split = SplitEntry(entries[i]);
        if (!split) {
            continue;
        }
        if (auto replacement = table.Find(split->second)) {
            std::string key(split->first);
            std::string value(*replacement);
            record.ReplaceEntry(i, key, value);
        }
    }
}

Book::Book(BookServices services) : services_(std::move(services)) {}

void Book::ReportError(int code, std::string_view argument) {
    if (services_.diagnostics != nullptr) {
        services_.diagnostics->ReportScriptError(CurrentItemText(), code, argument);
    }
}

void Book::SetFolderKeywords(std::string_view filePath) {
    folder_ = std::string(FolderOf(filePath));
    substitutions_.Set("CURRENT", folder_);
    substitutions_.Set("PLAYER", services_.programFolder);
}

bool Book::OpenPath(std::string_view insidePath) {
    std::optional<BookFile> file = BookFile::Open(insidePath, folder_, services_.archives);
    if (!file) {
        return false;
    }
    return Open(*file);
}

void Book::ForgetFiles() {
    files_.clear();
    readProblems_.clear();
    bytesRead_ = 0;
    filesRead_ = 0;
    limitReached_ = false;
}

std::uint16_t Book::FileIndex(const BookFile& file) {
    if (files_.size() > kMaxFileIndex) {
        return static_cast<std::uint16_t>(kMaxFileIndex);
    }
    files_.push_back(SourceFile{file.Path(), file.HostPath()});
    return static_cast<std::uint16_t>(files_.size() - 1);
}

bool Book::Open(BookFile& file) {
    items_.clear();
    ForgetFiles();
    substitutions_.Clear();
    SetFolderKeywords(file.Path());
    labels_.clear();
    position_ = 0;
    loadMode_ = false;
    ReadItems(file);
    // Aliases met while reading served only the include tags of this read.
    substitutions_.Clear();
    SetFolderKeywords(file.Path());
    path_ = file.Path();
    position_ = 0;
    return true;
}

void Book::ReadItems(BookFile& file) {
    readingChain_.push_back(FileKey(file));
    bytesRead_ += file.Size();
    if (!file.HostPath().empty() && hostFilesKnown_.insert(file.HostPath()).second) {
        hostFilesRead_.push_back(file.HostPath());
    }
    ++filesRead_;
    const std::uint16_t fileIndex = FileIndex(file);
    Tokenizer tokenizer(file);
    RawItem raw;
    TagRecord record;
    while (tokenizer.NextItem(raw)) {
        Item item{std::move(raw.text), static_cast<std::int16_t>(raw.kind), fileIndex, raw.line};
        std::optional<ReadProblem> problem;
        if (raw.unterminated) {
            const auto kind = item.kind == kw::kBlockComment
                                  ? ReadProblem::Kind::kUnterminatedComment
                                  : ReadProblem::Kind::kUnterminatedTag;
            problem = ReadProblem{kind, 0, {}};
        }
        if (item.kind == kw::kInclude) {
            if (auto failed = ReadInclude(item, file)) {
                problem = std::move(failed);
            }
        } else if (item.kind == kw::kAlias) {
            ParseItem(item.text, record);
            std::string src;
            std::string dest;
            record.GetAttribute(kw::kSrc, src);
            record.GetAttribute(kw::kDest, dest);
            if (loadMode_) {
                loadTimeAliases_.Set(src, dest);
            } else {
                substitutions_.SetRecorded(src, dest);
            }
        }
        const bool anchor = item.kind == kw::kA;
        items_.push_back(std::move(item));
        if (problem) {
            problem->item = items_.size() - 1;
            readProblems_.push_back(std::move(*problem));
        }
        if (anchor) {
            ParseItem(items_.back().text, record);
            std::string name;
            if (record.GetAttribute(kw::kName, name) && !name.empty()) {
                labels_.insert_or_assign(std::move(name), items_.size() - 1);
            }
        }
        raw = RawItem{};
    }
    readingChain_.pop_back();
}

std::optional<Book::ReadProblem> Book::ReadInclude(const Item& item, const BookFile& including) {
    TagRecord record;
    ParseItem(item.text, record);
    if (!record.FindAttribute(kw::kFolder)) {
        record.AddAttribute(kw::kFolder, "CURRENT");
    }
    Substitute(substitutions_, record);
    Substitute(loadTimeAliases_, record);
    std::string path = ResolvePath(record, kw::kSrc);

    // Past the limits every include is refused, but only the first one is told.
    if (limitReached_) {
        return std::nullopt;
    }
    std::optional<BookFile> included = BookFile::Open(path, folder_, services_.archives);
    std::optional<ReadProblem::Kind> failure;
    if (!included) {
        failure = ReadProblem::Kind::kIncludeNotFound;
    } else if (readingChain_.size() >= kMaxIncludeDepth) {
        failure = ReadProblem::Kind::kIncludeTooDeep;
    } else if (std::find(readingChain_.begin(), readingChain_.end(), FileKey(*included)) !=
               readingChain_.end()) {
        failure = ReadProblem::Kind::kIncludeCycle;
    } else if (included->Size() > limits_.bytes - std::min(bytesRead_, limits_.bytes) ||
               items_.size() >= limits_.items || filesRead_ >= limits_.files) {
        failure = ReadProblem::Kind::kIncludeTooLarge;
        limitReached_ = true;
    }
    if (failure) {
        // A file that includes itself is reported like one that cannot be opened.
        ReportError(err::kCannotOpenFile, path);
        return ReadProblem{*failure, 0, std::move(path)};
    }
    SetFolderKeywords(included->Path());
    ReadItems(*included);
    SetFolderKeywords(including.Path());
    return std::nullopt;
}

std::string Book::ResolvePath(const TagRecord& record, int attributeId) const {
    std::string value;
    record.GetAttribute(attributeId, value);
    if (value.size() > 2 && value[1] == ':' && value[2] == '\\') {
        return value;
    }
    std::string folder;
    if (!record.GetAttribute(kw::kFolder, folder)) {
        return value;
    }
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    return JoinPath(folder, value);
}

std::optional<std::size_t> Book::FindLabel(std::string_view label) const {
    auto it = labels_.find(std::string(label));
    if (it == labels_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string_view Book::CurrentItemText() const {
    if (shownIndex_ < items_.size()) {
        return items_[shownIndex_].text;
    }
    return shownDetached_;
}

void Book::ShowCurrent(std::size_t index, int currentIndex) {
    shownIndex_ = index;
    if (services_.debugFeed == nullptr) {
        return;
    }
    auto textAt = [this](std::size_t i) -> std::string_view {
        return i < items_.size() ? std::string_view(items_[i].text) : std::string_view();
    };
    services_.debugFeed->ShowTags(textAt(index), textAt(index + 1), textAt(index + 2),
                                  currentIndex);
}

}  // namespace talu::script
