#include "stage/archive_lookup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "host/encoding.h"
#include "host/paths.h"

namespace talu::stage {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::optional<std::filesystem::path> RegularFile(std::string_view insidePath,
                                                 std::string_view bookFolder) {
    std::optional<std::filesystem::path> host =
        host::FindHostPath(insidePath, host::HostPathOptions{bookFolder});
    std::error_code ec;
    if (!host || !std::filesystem::is_regular_file(*host, ec)) {
        return std::nullopt;
    }
    return host;
}

std::optional<std::vector<uint8_t>> ReadWhole(const std::filesystem::path& file) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxOpenFileBytes) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()))) {
        return std::nullopt;
    }
    return bytes;
}

std::vector<uint8_t> HeadOf(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> head(kSupportHeadBytes, 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), head.size()), head.begin());
    return head;
}

std::vector<uint8_t> HeadOfFile(const std::filesystem::path& file) {
    std::vector<uint8_t> head(kSupportHeadBytes, 0);
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    return head;
}

}  // namespace

std::optional<std::size_t> MatchMemberPrefix(std::string_view memberPath, std::string_view stored) {
    std::size_t i = 0;
    while (i < stored.size()) {
        if (i >= memberPath.size()) {
            return std::nullopt;
        }
        const std::size_t length = host::CharLength(stored, i);
        if (host::CharLength(memberPath, i) != length) {
            return std::nullopt;
        }
        if (length == 2) {
            if (memberPath.compare(i, 2, stored, i, 2) != 0) {
                return std::nullopt;
            }
        } else {
            const char a = memberPath[i];
            const char b = stored[i];
            const bool same = IsSeparator(a) ? IsSeparator(b) : FoldAscii(a) == FoldAscii(b);
            if (!same) {
                return std::nullopt;
            }
        }
        i += length;
    }
    return i;
}

std::optional<OpenedFile> FindArchiveMember(const PluginList& plugins, std::string_view archiveName,
                                            const host::ArchiveSource& archive,
                                            std::span<const uint8_t> head,
                                            std::string_view memberPath) {
    for (const auto& plugin : plugins.Plugins()) {
        if (plugin->GetKind() != PluginKind::kArchiveExtractor ||
            !plugin->IsSupported(archiveName, head)) {
            continue;
        }
        std::optional<std::vector<host::ArchiveEntry>> members = plugin->GetArchiveInfo(archive);
        if (!members) {
            continue;
        }
        for (const host::ArchiveEntry& member : *members) {
            std::optional<std::size_t> matched = MatchMemberPrefix(memberPath, member.path);
            if (member.path.empty() || !matched) {
                continue;
            }
            const bool whole = *matched == memberPath.size();
            if (!whole && !IsSeparator(memberPath[*matched])) {
                continue;
            }
            std::optional<std::vector<uint8_t>> bytes = plugin->GetFile(archive, member);
            if (!bytes) {
                return std::nullopt;
            }
            if (whole) {
                return OpenedFile{std::move(*bytes), member};
            }
            // The member is an archive itself: go on inside it with the rest of the path.
            const std::vector<uint8_t> innerHead = HeadOf(*bytes);
            return FindArchiveMember(plugins, member.path, host::ArchiveSource::FromMemory(*bytes),
                                     innerHead, memberPath.substr(*matched + 1));
        }
    }
    return std::nullopt;
}

std::optional<OpenedFile> OpenPossiblyArchived(std::string_view insidePath,
                                               std::string_view bookFolder,
                                               const PluginList& plugins) {
    if (std::optional<std::filesystem::path> file = RegularFile(insidePath, bookFolder)) {
        if (std::optional<std::vector<uint8_t>> bytes = ReadWhole(*file)) {
            return OpenedFile{std::move(*bytes), std::nullopt};
        }
        return std::nullopt;
    }
    for (std::size_t i = 0; i < insidePath.size(); i += host::CharLength(insidePath, i)) {
        if (!IsSeparator(insidePath[i]) || i == 0) {
            continue;
        }
        std::optional<std::filesystem::path> archive =
            RegularFile(insidePath.substr(0, i), bookFolder);
        if (!archive) {
            continue;
        }
        const std::vector<uint8_t> head = HeadOfFile(*archive);
        return FindArchiveMember(plugins, insidePath.substr(0, i),
                                 host::ArchiveSource::FromFile(*archive), head,
                                 insidePath.substr(i + 1));
    }
    return std::nullopt;
}

}  // namespace talu::stage
