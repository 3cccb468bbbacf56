#include "host/paths.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "host/encoding.h"

namespace talu::host {
namespace fs = std::filesystem;
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Splits at backslashes (and slashes, which Windows accepted too), stepping over double-byte
// characters so that a trail byte 0x5C is never taken for a separator.
std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::string current;
    for (std::size_t i = 0; i < path.size();) {
        std::size_t length = CharLength(path, i);
        if (length == 1 && IsSeparator(path[i])) {
            if (!current.empty()) {
                parts.push_back(std::move(current));
                current.clear();
            }
        } else {
            current.append(path.substr(i, length));
        }
        i += length;
    }
    if (!current.empty()) {
        parts.push_back(std::move(current));
    }
    return parts;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// The entry of folder whose name equals candidate, preferring the exact spelling, then the
// first case-insensitive match in sorted order (so the choice does not depend on the scan order).
std::optional<fs::path> MatchEntry(const fs::path& folder, const std::string& candidate) {
    fs::path exact = folder / candidate;
    if (Exists(exact)) {
        return exact;
    }
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return std::nullopt;
    }
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            break;
        }
        std::string name = it->path().filename().string();
        if (EqualsIgnoringAsciiCase(name, candidate) && (!best || name < *best)) {
            best = std::move(name);
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return folder / *best;
}

std::optional<fs::path> FollowComponents(fs::path base, const std::vector<std::string>& parts,
                                         std::size_t first) {
    for (std::size_t i = first; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            if (base.has_relative_path()) {
                base = base.parent_path();
            }
            continue;
        }
        std::optional<fs::path> next;
        if (std::optional<std::string> utf8 = Cp932ToUtf8Exact(part)) {
            next = MatchEntry(base, *utf8);
        }
        if (!next) {
            next = MatchEntry(base, part);
        }
        if (!next) {
            return std::nullopt;
        }
        base = std::move(*next);
    }
    if (!Exists(base)) {
        return std::nullopt;
    }
    return base;
}

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':';
}

bool IsHostDrive(std::string_view path) {
    return path[0] == 'Z' || path[0] == 'z';
}

std::optional<fs::path> BookFolderOnHost(std::string_view bookFolder) {
    if (!HasDrive(bookFolder) || !IsHostDrive(bookFolder)) {
        return std::nullopt;
    }
    return FollowComponents("/", SplitComponents(bookFolder.substr(2)), 0);
}

}  // namespace

std::string InsidePathFromHost(const fs::path& hostAbsolute) {
    std::string inside = "Z:";
    for (const fs::path& part : hostAbsolute.relative_path()) {
        std::string name = part.string();
        if (name.empty()) {
            continue;
        }
        inside += '\\';
        inside += Utf8ToCp932Exact(name).value_or(name);
    }
    if (inside.size() == 2) {
        inside += '\\';
    }
    return inside;
}

std::optional<fs::path> HostPathFromInside(std::string_view inside) {
    if (!HasDrive(inside) || !IsHostDrive(inside) || inside.size() < 3 || !IsSeparator(inside[2])) {
        return std::nullopt;
    }
    fs::path host = "/";
    for (const std::string& part : SplitComponents(inside.substr(2))) {
        host /= Cp932ToUtf8Exact(part).value_or(part);
    }
    if (IsSeparator(inside.back()) && host != "/") {
        host /= "";  // a folder keeps its closing separator
    }
    return host;
}

std::optional<fs::path> FindHostPath(std::string_view inside, const HostPathOptions& options) {
    if (inside.empty()) {
        return std::nullopt;
    }
    if (HasDrive(inside)) {
        std::vector<std::string> parts = SplitComponents(inside.substr(2));
        if (IsHostDrive(inside)) {
            return FollowComponents("/", parts, 0);
        }
        std::optional<fs::path> bookFolder = BookFolderOnHost(options.bookFolder);
        if (!bookFolder) {
            return std::nullopt;
        }
        for (std::size_t first = 0; first < parts.size(); ++first) {
            if (auto found = FollowComponents(*bookFolder, parts, first)) {
                return found;
            }
        }
        return std::nullopt;
    }
    if (IsSeparator(inside[0])) {
        return FollowComponents("/", SplitComponents(inside), 0);
    }
    std::optional<fs::path> bookFolder = BookFolderOnHost(options.bookFolder);
    if (!bookFolder) {
        return std::nullopt;
    }
    return FollowComponents(*bookFolder, SplitComponents(inside), 0);
}

std::optional<fs::path> HostPathForWriting(std::string_view inside,
                                           const HostPathOptions& options) {
    if (inside.empty() || IsSeparator(inside.back())) {
        return std::nullopt;
    }
    if (auto existing = FindHostPath(inside, options)) {
        return existing;
    }
    // The last component, stepping over double-byte characters as SplitComponents does.
    std::vector<std::string> parts = SplitComponents(HasDrive(inside) ? inside.substr(2) : inside);
    if (parts.empty() || parts.back() == "." || parts.back() == "..") {
        return std::nullopt;
    }
    std::string name = parts.back();
    std::string folder(inside.substr(0, inside.size() - name.size()));
    if (folder.empty() || folder == "Z:" || folder == "z:") {
        folder += '.';
    }
    std::optional<fs::path> host = FindHostPath(folder, options);
    if (!host) {
        return std::nullopt;
    }
    return *host / Cp932ToUtf8Exact(name).value_or(name);
}

std::string ProgramFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return "Z:\\";
    }
    std::string folder = InsidePathFromHost(exe.parent_path());
    if (folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}

std::string ReaderDataFolder() {
    fs::path base;
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data != nullptr && data[0] == '/') {
        base = data;
    } else if (home != nullptr && home[0] == '/') {
        base = fs::path(home) / ".local" / "share";
    } else {
        return ProgramFolder();
    }
    return InsidePathFromHost(base / "Velmor" / "talu") + '\\';
}

}  // namespace talu::host
