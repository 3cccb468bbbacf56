#include "app/archive_books.h"

#include <array>
#include <fstream>
#include <set>

#include "host/paths.h"
#include "script/sjis_text.h"
#include "stage/archive_index.h"

namespace talu::app {
namespace {

// Enough for every signature LooksLikeArchive knows (tar's sits at 257).
constexpr std::size_t kHeadBytes = 512;

bool EndsWithTalu(std::string_view name) {
    // No CP932 lead byte is "." or below, so the extension is never half a character.
    return name.size() > 5 && script::ToLowerAscii(name.substr(name.size() - 5)) == ".talu";
}

// The member's folders and file name, split between double-byte characters only; empty when a
// part could lead elsewhere than inside the archive's own folder.
std::vector<std::string_view> SafeParts(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = script::FindChar(path, '\\', start);
        const std::string_view part =
            path.substr(start, end == script::npos ? script::npos : end - start);
        if (part.empty() || part == "." || part == ".." ||
            script::FindChar(part, ':') != script::npos) {
            return {};
        }
        parts.push_back(part);
        if (end == script::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

bool IsBookArchive(const std::filesystem::path& file) {
    std::error_code ec;
    if (EndsWithTalu(file.filename().string()) || !std::filesystem::is_regular_file(file, ec)) {
        return false;
    }
    std::array<std::uint8_t, kHeadBytes> head{};
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    return in.gcount() > 0 &&
           host::LooksLikeArchive(std::span(head.data(), static_cast<std::size_t>(in.gcount())));
}

std::vector<std::string> BooksAmongMembers(const std::vector<host::ArchiveEntry>& members) {
    std::vector<std::string> top;
    std::set<std::string> folders;
    for (const host::ArchiveEntry& member : members) {
        const std::vector<std::string_view> parts = SafeParts(member.path);
        if (parts.size() == 1 && EndsWithTalu(parts[0])) {
            top.push_back(member.path);
        } else if (parts.size() > 1) {
            folders.insert(stage::FoldMemberName(parts[0]));
        }
    }
    if (!top.empty() || folders.size() != 1) {
        return top;
    }
    std::vector<std::string> inFolder;
    for (const host::ArchiveEntry& member : members) {
        const std::vector<std::string_view> parts = SafeParts(member.path);
        if (parts.size() == 2 && EndsWithTalu(parts[1])) {
            inFolder.push_back(member.path);
        }
    }
    return inFolder;
}

ArchiveBooks FindArchiveBooks(const std::filesystem::path& archive) {
    ArchiveBooks found;
    const std::optional<std::vector<host::ArchiveEntry>> members =
        host::ListArchive(host::ArchiveSource::FromFile(archive));
    if (members) {
        found.readable = true;
        found.books = BooksAmongMembers(*members);
    }
    return found;
}

std::string ArchiveMemberInsidePath(const std::filesystem::path& archive, std::string_view member) {
    return host::InsidePathFromHost(archive.lexically_normal()) + "\\" + std::string(member);
}

std::optional<std::string> PickArchiveBook(const ArchiveBooks& found, std::string_view wanted) {
    const std::string key = stage::FoldMemberName(wanted);
    std::optional<std::string> byName;
    int sameName = 0;
    for (const std::string& book : found.books) {
        if (stage::FoldMemberName(book) == key) {
            return book;
        }
        const std::vector<std::string_view> parts = SafeParts(book);
        if (!parts.empty() && stage::FoldMemberName(parts.back()) == key) {
            byName = book;
            ++sameName;
        }
    }
    return sameName == 1 ? byName : std::nullopt;
}

}  // namespace talu::app
