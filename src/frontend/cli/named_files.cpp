#include "frontend/cli/named_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/music_files.h"
#include "frontend/cli/book_relative.h"
#include "frontend/cli/check_report.h"
#include "host/encoding.h"
#include "host/paths.h"
#include "script/keywords.h"
#include "script/sjis_text.h"
#include "stage/archive_lookup.h"
#include "stage/extension_map.h"
#include "stage/picture_saver.h"
#include "stage/plugin_tag.h"
#include "stage/stage_snapshot.h"
#include "stage/tag_values.h"

namespace talu::cli {
namespace {

namespace kw = script::kw;

constexpr std::string_view kNoSource = "SRC is missing or empty; the player has no file to open.";

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The path an attribute names, as the player resolves it; nullopt when the attribute is absent
// or empty, or when it or its FOLDER holds variables.
std::optional<std::string> KnownPath(const script::Book& book, const script::TagRecord& record,
                                     int id) {
    std::optional<std::string_view> value = record.FindAttribute(id);
    std::optional<std::string_view> folder = record.FindAttribute(kw::kFolder);
    if (!value || value->empty() || HoldsVariable(*value) || (folder && HoldsVariable(*folder))) {
        return std::nullopt;
    }
    return book.ResolvePath(record, id);
}

// True when the attribute is absent or empty; a value holding variables may still name a file.
bool NamesNoFile(const script::TagRecord& record, int id) {
    std::optional<std::string_view> value = record.FindAttribute(id);
    return !value || value->empty();
}

// The folder part of an inside path, up to and including its last backslash.
std::string_view FolderPart(std::string_view path) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < path.size(); i += host::CharLength(path, i)) {
        if (path[i] == '\\') {
            end = i + 1;
        }
    }
    return path.substr(0, end);
}

}  // namespace

bool HoldsVariable(std::string_view value) {
    return script::FindChar(value, '{') != script::npos;
}

NamedFiles::NamedFiles() {
    plugins_.Scan();
}

void NamedFiles::Check(const script::Book& book, const script::TagRecord& record,
                       std::vector<std::string>& messages) {
    int command = 0;
    record.GetCommand(command);
    const bool closing = record.IsClosing();
    // Relative paths resolve against the folder of the file being read, as in the player.
    readingFolder_ = book.Folder();
    switch (command) {
        case kw::kBackground:
            if (!record.FindAttribute(kw::kColor)) {
                CheckPicture(book, record, kw::kSrc, "Picture", messages);
            }
            break;
        case kw::kAct:
            CheckPicture(book, record, kw::kSrc, "Picture", messages);
            CheckMask(book, record, messages);
            break;
        case kw::kWindow:
            // Without LEFT and TOP the tag removes the frame instead of loading one.
            if (!closing && record.FindAttribute(kw::kLeft) && record.FindAttribute(kw::kTop)) {
                CheckPicture(book, record, kw::kSrc, "Picture", messages);
                CheckMask(book, record, messages);
            }
            break;
        case kw::kIcon:
            if (!closing) {
                CheckIcon(book, record, messages);
            }
            break;
        case kw::kCursor:
            if (!NamesNoFile(record, kw::kSrc)) {
                CheckFile(book, record, "Cursor", messages);
            }
            break;
        case kw::kBgm:
            if (!closing) {
                CheckMusic(book, record, messages);
            }
            break;
        case kw::kSound:
            if (!closing) {
                CheckFile(book, record, "Sound", messages);
            }
            break;
        case kw::kSnap:
            CheckSnap(book, record, messages);
            break;
        case kw::kPlugin:
            Bind(record, messages);
            break;
        default:
            break;
    }
}

void NamedFiles::CheckPicture(const script::Book& book, const script::TagRecord& record, int id,
                              std::string_view noun, std::vector<std::string>& messages) {
    if (NamesNoFile(record, id)) {
        messages.emplace_back(kNoSource);
        return;
    }
    if (std::optional<std::string> path = KnownPath(book, record, id)) {
        if (std::string problem = PictureProblem(*path, noun); !problem.empty()) {
            messages.push_back(std::move(problem));
        }
    }
}

void NamedFiles::CheckMask(const script::Book& book, const script::TagRecord& record,
                           std::vector<std::string>& messages) {
    // ALPHA is a percentage when it is all digits, and a mask picture's file otherwise.
    std::optional<std::string_view> alpha = record.FindAttribute(script::kw::kAlpha);
    if (!alpha || alpha->empty() || AllDigits(*alpha)) {
        return;
    }
    if (std::optional<std::string> path = KnownPath(book, record, script::kw::kAlpha)) {
        if (std::string problem = PictureProblem(*path, "Mask picture"); !problem.empty()) {
            messages.push_back(std::move(problem));
        }
    }
}

void NamedFiles::CheckIcon(const script::Book& book, const script::TagRecord& record,
                           std::vector<std::string>& messages) {
    // An ICON without SRC only switches the icons back on.
    if (NamesNoFile(record, kw::kSrc)) {
        return;
    }
    std::optional<std::string_view> mode = record.FindAttribute(script::kw::kMode);
    const int modeId = mode ? script::LookupKeyword(*mode) : 0;
    if (modeId != kw::kP && modeId != kw::kBr) {
        if (!mode || !HoldsVariable(*mode)) {
            messages.emplace_back("ICON needs MODE=\"P\" or MODE=\"BR\"; the player ignores it.");
        }
        return;
    }
    CheckPicture(book, record, kw::kSrc, "Icon picture", messages);
}

void NamedFiles::CheckFile(const script::Book& book, const script::TagRecord& record,
                           std::string_view noun, std::vector<std::string>& messages) {
    if (NamesNoFile(record, kw::kSrc)) {
        messages.emplace_back(kNoSource);
        return;
    }
    std::optional<std::string> path = KnownPath(book, record, kw::kSrc);
    if (path && !Exists(*path)) {
        messages.push_back(std::string(noun) + ' ' + Shown(*path) + " cannot be found.");
    }
}

void NamedFiles::CheckMusic(const script::Book& book, const script::TagRecord& record,
                            std::vector<std::string>& messages) {
    // BGM without SRC stops the music.
    std::optional<std::string> path = KnownPath(book, record, kw::kSrc);
    if (!path) {
        return;
    }
    // CD tracks are played from ripped files beside the book, chosen by track number.
    if (stage::ExtensionOf(*path) == "CDA") {
        const std::optional<int> track = app::CdTrackNumber(*path);
        if (!track) {
            messages.push_back("CD track " + Shown(*path) +
                               " has no track number in the two characters before \".cda\".");
        } else if (!app::FindCdTrackFile(*track, book.Folder())) {
            char number[4];
            std::snprintf(number, sizeof(number), "%02d", *track);
            messages.push_back("CD track " + Shown(*path) + " has no ripped file (track" + number +
                               ".ogg, .flac, .wav or .mp3 beside the book or in cd\\).");
        }
        return;
    }
    if (!Exists(*path)) {
        messages.push_back("Music " + Shown(*path) + " cannot be found.");
    }
}

void NamedFiles::CheckSnap(const script::Book& book, const script::TagRecord& record,
                           std::vector<std::string>& messages) {
    stage::SaveRequest request;
    record.GetAttribute(kw::kFolder, request.folder);
    record.GetAttribute(kw::kSrc, request.fileName);
    if (HoldsVariable(request.folder) || HoldsVariable(request.fileName)) {
        return;
    }
    const bool character = record.FindAttribute(kw::kName).has_value();
    if (!character) {
        request.format = stage::ReadKeyword(record, script::kw::kMode) == kw::kJpeg
                             ? stage::PictureFileFormat::kJpeg
                             : stage::PictureFileFormat::kBmp;
        request.fileName = stage::StageSnapshotName(request);
    }
    // A character's snapshot without SRC is named after its picture, which only the running
    // book knows; the folder it goes to is what can fail.
    const std::string name = stage::SavedPictureName("x", request);
    switch (stage::CheckSnapshotTarget(name, book.Folder(), book.HostFilesRead())) {
        case stage::SnapshotTarget::kWritable:
            // Books read their own snapshots back (as wait icons, say).
            if (!request.fileName.empty()) {
                written_.insert(script::ToUpperAscii(name));
            }
            break;
        case stage::SnapshotTarget::kNoFolder:
            // The player writes nothing then and says nothing either.
            messages.push_back(
                "SNAP writes into a folder that does not exist: " + Shown(FolderPart(name)) + ".");
            break;
        case stage::SnapshotTarget::kOutsideBook:
            messages.push_back("SNAP writes outside the book's folder: " + Shown(name) +
                               "; the player refuses it.");
            break;
        case stage::SnapshotTarget::kBookFile:
            messages.push_back("SNAP would write over " + Shown(name) +
                               ", a book file, bookmark or memo; the player refuses it.");
            break;
        case stage::SnapshotTarget::kNotAPicture:
            messages.push_back("SNAP would write over " + Shown(name) +
                               ", which is not a picture; the player refuses it.");
            break;
    }
}

void NamedFiles::Bind(const script::TagRecord& record, std::vector<std::string>& messages) {
    std::optional<std::string_view> extension = record.FindAttribute(kw::kSrc);
    if (!extension) {
        messages.emplace_back("PLUGIN has no SRC (the extension it binds).");
    }
    if (!record.FindAttribute(kw::kName)) {
        messages.emplace_back("PLUGIN has no NAME (the reader it binds).");
    }
    if (extension && HoldsVariable(*extension)) {
        anyExtensionBound_ = true;
        return;
    }
    stage::BindExtension(record, stage::PluginTagContext{extensions_, plugins_, nullptr, {}});
}

std::string NamedFiles::PictureProblem(std::string_view path, std::string_view noun) {
    const std::string subject = std::string(noun) + ' ' + Shown(path);
    if (!Exists(std::string(path))) {
        return subject + " cannot be found.";
    }
    // The player's own choice of reader, step by step (BMP, bound extensions, decoders).
    std::optional<std::string> extension = stage::ExtensionOf(path);
    if (!extension) {
        return subject + " has no extension; the player cannot tell its format.";
    }
    if (*extension == "BMP") {
        return {};
    }
    const std::string shownExtension = host::Cp932ToUtf8(*extension);
    if (!anyExtensionBound_ && !extensions_.Find(*extension)) {
        return subject + ": no PLUGIN tag binds the extension " + shownExtension + ".";
    }
    if (plugins_.ImageDecoderFor(path) == nullptr) {
        return subject + ": no reader for " + shownExtension + " pictures on this system.";
    }
    return {};
}

bool NamedFiles::Exists(const std::string& path) {
    if (written_.contains(script::ToUpperAscii(path))) {
        return true;
    }
    std::string key = readingFolder_ + '\n' + path;
    if (auto known = found_.find(key); known != found_.end()) {
        return known->second;
    }
    std::error_code ec;
    std::optional<std::filesystem::path> plain =
        host::FindHostPath(path, host::HostPathOptions{readingFolder_});
    bool found = plain && std::filesystem::is_regular_file(*plain, ec);
    if (!found) {
        std::optional<stage::OpenedFile> member =
            stage::OpenPossiblyArchived(path, readingFolder_, plugins_);
        found = member && member->member;
    }
    found_.emplace(std::move(key), found);
    return found;
}

std::string NamedFiles::Shown(std::string_view insidePath) const {
    return QuoteBookText(BookRelativePath(insidePath, bookFolder_));
}

}  // namespace talu::cli
