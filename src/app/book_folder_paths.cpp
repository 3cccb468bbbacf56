#include "app/book_folder_paths.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

#include "app/music_files.h"
#include "host/encoding.h"
#include "host/paths.h"
#include "script/book.h"
#include "script/keywords.h"
#include "script/sjis_text.h"

namespace talu::app {
namespace {

namespace fs = std::filesystem;
namespace kw = script::kw;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The components between separators, stepping over double-byte characters so that a trail
// byte 0x5C is never taken for a separator.
std::vector<std::string> Components(std::string_view path) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = host::CharLength(path, i);
        if (length == 1 && IsSeparator(path[i])) {
            parts.emplace_back();
        } else {
            parts.back().append(path.substr(i, length));
        }
        i += length;
    }
    std::erase_if(parts, [](const std::string& part) { return part.empty() || part == "."; });
    return parts;
}

std::string Joined(const std::vector<std::string>& parts, std::size_t first) {
    std::string out;
    for (std::size_t i = first; i < parts.size(); ++i) {
        out += (i == first ? "" : "\\") + parts[i];
    }
    return out;
}

bool IsAbsolute(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && IsSeparator(path[0]));
}

// The folder-relative rest of an absolute path that lies textually inside the folder.
std::optional<std::string> RelativeInside(std::string_view path, std::string_view folder) {
    std::string wanted = script::ToLowerAscii(folder);
    std::string lowered = script::ToLowerAscii(path);
    std::replace(wanted.begin(), wanted.end(), '/', '\\');
    std::replace(lowered.begin(), lowered.end(), '/', '\\');
    if (wanted.empty() || !lowered.starts_with(wanted)) {
        return std::nullopt;
    }
    return std::string(path.substr(wanted.size()));
}

// The longest tail of parts that names an existing file in the folder.
std::optional<std::string> MatchTail(const std::vector<std::string>& parts,
                                     std::string_view folder) {
    for (std::size_t first = 0; first < parts.size(); ++first) {
        std::string tail = Joined(parts, first);
        if (host::FindHostPath(std::string(folder) + tail, {})) {
            return tail;
        }
    }
    return std::nullopt;
}

// False when the host file the inside path reaches lies outside the folder's host folder (a
// symbolic link on the way leads out). Names not on the host (archive members, missing files)
// pass: opening them reads nothing outside.
bool StaysInside(const std::string& inside, std::string_view folder) {
    const auto file = host::FindHostPath(inside, {});
    const auto base = host::FindHostPath(folder, {});
    if (!file || !base) {
        return true;
    }
    std::error_code ec;
    const fs::path realFile = fs::weakly_canonical(*file, ec);
    const fs::path realBase = fs::weakly_canonical(*base, ec);
    if (ec) {
        return false;
    }
    const auto [end, unused] =
        std::mismatch(realBase.begin(), realBase.end(), realFile.begin(), realFile.end());
    return end == realBase.end() && realFile != realBase;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The attributes of a state-block tag that name files.
std::vector<int> FileAttributes(int id, const script::TagRecord& record) {
    std::vector<int> ids;
    switch (id) {
        case kw::kBgm:
            // A CD track names no file: its ripped track is looked up in the book's folder.
            if (const auto source = record.FindAttribute(kw::kSrc);
                source && BackendOf(*source) != MusicBackend::kCd) {
                ids.push_back(kw::kSrc);
            }
            break;
        case kw::kAct:
        case kw::kWindow:
            if (const auto alpha = record.FindAttribute(kw::kAlpha); alpha && !AllDigits(*alpha)) {
                ids.push_back(kw::kAlpha);
            }
            [[fallthrough]];
        case kw::kBackground:
        case kw::kIcon:
        case kw::kCursor:
            if (record.FindAttribute(kw::kSrc)) {
                ids.push_back(kw::kSrc);
            }
            break;
        default:
            break;
    }
    return ids;
}

}  // namespace

std::optional<std::string> PathInBookFolder(std::string_view path, std::string_view bookFolder) {
    const bool drive = path.size() >= 2 && path[1] == ':';
    const std::vector<std::string> parts = Components(drive ? path.substr(2) : path);
    if (parts.empty() || bookFolder.empty() ||
        std::find(parts.begin(), parts.end(), "..") != parts.end()) {
        return std::nullopt;
    }
    std::optional<std::string> relative;
    if (!IsAbsolute(path)) {
        relative = Joined(parts, 0);
    } else if (auto inside = RelativeInside(path, bookFolder)) {
        relative = Joined(Components(*inside), 0);
    } else {
        relative = MatchTail(parts, bookFolder);
    }
    if (!relative || relative->empty()) {
        return std::nullopt;
    }
    std::string result = std::string(bookFolder) + *relative;
    if (!StaysInside(result, bookFolder)) {
        return std::nullopt;
    }
    return result;
}

bool IsPlayerWrittenFile(std::string_view path) {
    static constexpr std::array kWritten = {".bmk", ".memo", ".png",  ".bmp",  ".jpg",   ".jpeg",
                                            ".ini", ".wav",  ".conf", ".read", ".place", ".log"};
    const std::string lowered = script::ToLowerAscii(path);
    const std::string name = lowered.substr(script::FolderOf(lowered).size());
    // A save's side files: the target's name, ".tmp" or ".old", the process id.
    for (std::string_view side : {".tmp", ".old"}) {
        const std::size_t at = name.find(side);
        if (at != std::string::npos && at + 4 < name.size() && name[at + 4] >= '0' &&
            name[at + 4] <= '9') {
            return true;
        }
    }
    return std::any_of(kWritten.begin(), kWritten.end(),
                       [&](std::string_view suffix) { return name.ends_with(suffix); });
}

std::optional<std::string> ConfineStateTag(script::TagRecord& record, const script::Book& book,
                                           std::string_view folder) {
    int id = 0;
    record.GetCommand(id);
    for (int attribute : FileAttributes(id, record)) {
        const std::string named = book.ResolvePath(record, attribute);
        const std::optional<std::string> confined = PathInBookFolder(named, folder);
        if (!confined) {
            return named;
        }
        // A relative name the book's folder resolves stays as it was written.
        if (named != record.AttributeText(attribute) || IsAbsolute(named)) {
            record.SetAttribute(attribute, *confined);
        }
    }
    return std::nullopt;
}

}  // namespace talu::app
