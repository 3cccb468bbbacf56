// Item delivery and navigation: how the book hands out ready records and moves its position.
#include "script/book.h"
#include "script/debug_feed.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/sjis_text.h"
#include "script/tag_parser.h"
#include "script/variable_expansion.h"
#include "script/vocabularies.h"

namespace talu::script {
namespace {

// The attributes a link carries into a link group, in the order they are added there.
constexpr int kGroupedLinkAttributes[] = {kw::kView, kw::kEnable, kw::kHref, kw::kAlt, kw::kAnswer};

bool ParseBookItem(const Book::Item& item, TagRecord& record) {
    return ParseItem(item.text, record, item.kind == kw::kText);
}

// Tags whose file attributes resolve against the book's folder unless they name their own.
bool TakesDefaultFolder(int command, const TagRecord& record) {
    switch (command) {
        case kw::kAct:
        case kw::kBackground:
        case kw::kCommand:
        case kw::kIcon:
        case kw::kWindow:
        case kw::kCursor:
        case kw::kSound:
        case kw::kBgm:
        case kw::kSnap:
        case kw::kCurtain:
            return true;
        case kw::kA:
            return record.FindAttribute(kw::kName).has_value();
        default:
            return false;
    }
}

void AddIfAbsent(TagRecord& record, int id, std::string_view value) {
    if (!record.FindAttribute(id)) {
        record.AddAttribute(id, value);
    }
}

}  // namespace

void Book::ApplyDefaultsAndSubstitute(TagRecord& record, int command) {
    if (TakesDefaultFolder(command, record)) {
        AddIfAbsent(record, kw::kFolder, "CURRENT");
    }
    if (command == kw::kBackground || command == kw::kCurtain) {
        AddIfAbsent(record, kw::kEffect, "EF_DEFAULT_BACK");
    } else if (command == kw::kEnter) {
        AddIfAbsent(record, kw::kEffect, "EF_DEFAULT_CHAR");
    }
    Substitute(substitutions_, record);
}

void Book::DeliverWrite(TagRecord& record) {
    if (variables_ != nullptr) {
        ExpandVariables(record, *variables_);
    }
    std::string name;
    record.GetAttribute(kw::kSrc, name);
    std::string value;
    if (variables_ == nullptr || !variables_->Lookup(name, value)) {
        substitutions_.Lookup(name, value);
    }
    record.Clear();
    record.SetCommand(kw::kText);
    record.AddAttribute(kw::kSrc, value);
}

void Book::DeliverLinkGroup(TagRecord& record) {
    Substitute(substitutions_, record);
    std::string href;
    std::string alt;
    std::string answer;
    record.GetAttribute(kw::kHref, href);
    record.GetAttribute(kw::kAlt, alt);
    record.GetAttribute(kw::kAnswer, answer);
    for (int id : {kw::kView, kw::kEnable}) {
        if (auto value = record.FindAttribute(id)) {
            std::string copy(*value);
            record.AddAttribute(id, copy);
        }
    }
    record.AddAttribute(kw::kHref, href);
    record.AddAttribute(kw::kAlt, alt);
    record.AddAttribute(kw::kAnswer, answer);

    TagRecord link;
    for (int k = 1; !AtEnd(); ++k) {
        const Item& item = items_[position_++];
        ParseBookItem(item, link);
        int command = 0;
        link.GetCommand(command);
        if (command != kw::kA || link.FindAttribute(kw::kName)) {
            --position_;  // this item is delivered by the next fetch
            return;
        }
        Substitute(substitutions_, link);
        for (int id : kGroupedLinkAttributes) {
            auto value = link.FindAttribute(id);
            if (value) {
                record.AddAttribute(id + kw::kLinkStride * k, *value);
            } else if (id != kw::kView && id != kw::kEnable) {
                record.AddAttribute(id + kw::kLinkStride * k, "");
            }
        }
    }
}

bool Book::FetchTag(TagRecord& record) {
    while (!AtEnd()) {
        const std::size_t index = position_++;
        ShowCurrent(index, static_cast<int>(position_));
        if (!ParseBookItem(items_[index], record)) {
            continue;
        }
        int command = 0;
        if (!record.GetCommand(command)) {
            continue;
        }
        switch (command) {
            case kw::kAlias: {
                std::string src;
                std::string dest;
                record.GetAttribute(kw::kSrc, src);
                record.GetAttribute(kw::kDest, dest);
                substitutions_.SetRecorded(src, dest);
                continue;
            }
            case kw::kText: {
                std::string decoded = DecodeEntities(*record.FindAttribute(kw::kSrc));
                record.ReplaceEntry(1, IdKey(kw::kSrc), decoded);
                return true;
            }
            case kw::kWrite:
                DeliverWrite(record);
                return true;
            case kw::kP:
                return true;
            case kw::kA:
                if (!record.FindAttribute(kw::kName)) {
                    DeliverLinkGroup(record);
                    return true;
                }
                break;
            default:
                break;
        }
        ApplyDefaultsAndSubstitute(record, command);
        return true;
    }
    return false;
}

bool Book::Jump(std::string_view href) {
    std::size_t hash = FindChar(href, '#');
    std::string_view file = href.substr(0, hash);
    std::string_view label = hash == npos ? std::string_view() : href.substr(hash + 1);
    if (!file.empty()) {
        // A file that cannot be opened was reported there; the label is still looked up.
        LoadOtherFile(JoinPath(folder_, file));
    }
    if (!label.empty()) {
        std::optional<std::size_t> anchor = FindLabel(label);
        if (!anchor) {
            if (services_.diagnostics != nullptr) {
                services_.diagnostics->ReportScriptError(CurrentItemText(),
                                                         err::kLinkTargetNotFound, href);
            }
            return false;
        }
        position_ = *anchor;
    }
    return true;
}

bool Book::LoadOtherFile(std::string_view path) {
    // A jump reaches plain files; a book read from inside an archive reaches the members of
    // archives too, where the rest of its files are.
    const bool fromArchive = !files_.empty() && files_.front().hostPath.empty();
    return ReplaceBy(path, fromArchive ? services_.archives : nullptr);
}

bool Book::ReplaceBy(std::string_view path, const ArchiveMemberSource* archives) {
    std::optional<BookFile> file = BookFile::Open(path, folder_, archives);
    if (!file) {
        if (services_.diagnostics != nullptr) {
            services_.diagnostics->ShowPlainBox(CannotOpenFileMessage(path));
        }
        return false;
    }
    shownDetached_ = std::string(CurrentItemText());
    shownIndex_ = SIZE_MAX;
    SetFolderKeywords(file->Path());
    items_.clear();
    ForgetFiles();
    loadMode_ = true;
    labels_.clear();
    loadTimeAliases_.Clear();
    ReadItems(*file);
    loadTimeAliases_.Clear();
    loadMode_ = false;
    path_ = std::string(path);
    position_ = 0;
    if (items_.empty()) {
        return false;
    }
    ShowCurrent(0, 0);
    return true;
}

bool Book::SeekIndex(int n) {
    if (n < 0 || static_cast<std::size_t>(n) > items_.size()) {
        return false;
    }
    position_ = static_cast<std::size_t>(n);
    return true;
}

bool Book::RestorePosition(std::string_view path, int index) {
    return ReplaceBy(path, services_.archives) && SeekIndex(index);
}

std::string Book::PositionText() const {
    return path_ + '\t' + std::to_string(position_);
}

void Book::SkipEventBlock() {
    int depth = 1;
    TagRecord record;
    while (!AtEnd()) {
        const std::size_t index = position_++;
        ShowCurrent(index, static_cast<int>(position_));
        if (!ParseBookItem(items_[index], record)) {
            continue;
        }
        int command = 0;
        record.GetCommand(command);
        if (command != kw::kEvent) {
            continue;
        }
        if (record.IsClosing()) {
            if (depth == 1) {
                return;
            }
            --depth;
        } else {
            ++depth;
        }
    }
}

}  // namespace talu::script
