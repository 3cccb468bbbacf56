#include "stage/archive_lookup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "host/encoding.h"
#include "host/paths.h"
#include "stage/archive_index.h"

namespace talu::stage {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
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

std::optional<OpenedFile> FindArchiveMember(const PluginList& plugins, std::string_view archiveName,
                                            const host::ArchiveSource& archive,
                                            std::span<const uint8_t> head,
                                            std::string_view memberPath) {
    for (const auto& plugin : plugins.Plugins()) {
        if (plugin->GetKind() != PluginKind::kArchiveExtractor ||
            !plugin->IsSupported(archiveName, head)) {
            continue;
        }
        const std::shared_ptr<const ArchiveIndex> index = IndexArchive(*plugin, archive);
        const std::optional<ArchiveIndex::Found> found =
            index ? index->Find(memberPath) : std::nullopt;
        if (!found) {
            continue;
        }
        const host::ArchiveEntry& member = *found->member;
        std::optional<std::vector<uint8_t>> bytes = plugin->GetFile(archive, member);
        if (!bytes) {
            return std::nullopt;
        }
        if (found->matched == memberPath.size()) {
            return OpenedFile{std::move(*bytes), member};
        }
        // The member is an archive itself: go on inside it with the rest of the path.
        const std::vector<uint8_t> innerHead = HeadOf(*bytes);
        return FindArchiveMember(plugins, member.path, host::ArchiveSource::FromMemory(*bytes),
                                 innerHead, memberPath.substr(found->matched + 1));
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
