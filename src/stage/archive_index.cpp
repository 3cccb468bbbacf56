#include "stage/archive_index.h"

#include <sys/stat.h>

#include <algorithm>
#include <list>
#include <mutex>
#include <tuple>
#include <utility>

#include "host/encoding.h"

namespace talu::stage {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// A host file as it stands: a changed or replaced file gets a new key.
struct FileKey {
    const Plugin* plugin = nullptr;
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;

    bool operator==(const FileKey& other) const {
        return std::tie(plugin, path, device, inode, size, modifiedNs) ==
               std::tie(other.plugin, other.path, other.device, other.inode, other.size,
                        other.modifiedNs);
    }
};

std::optional<FileKey> KeyOf(const Plugin& plugin, const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileKey{&plugin,      file.string(),
                   info.st_dev,  info.st_ino,
                   info.st_size, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

// The most recently used archives; a book reads from few at a time.
constexpr std::size_t kKeptIndexes = 8;

class IndexCache {
  public:
    std::shared_ptr<const ArchiveIndex> Get(const FileKey& key) {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(kept_.begin(), kept_.end(),
                               [&key](const auto& entry) { return entry.first == key; });
        if (it == kept_.end()) {
            return nullptr;
        }
        kept_.splice(kept_.begin(), kept_, it);
        return it->second;
    }
    void Put(FileKey key, std::shared_ptr<const ArchiveIndex> index) {
        std::lock_guard lock(mutex_);
        kept_.emplace_front(std::move(key), std::move(index));
        if (kept_.size() > kKeptIndexes) {
            kept_.pop_back();
        }
    }

  private:
    std::mutex mutex_;
    std::list<std::pair<FileKey, std::shared_ptr<const ArchiveIndex>>> kept_;
};

IndexCache& Cache() {
    static IndexCache cache;
    return cache;
}

}  // namespace

std::string FoldMemberName(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); i += host::CharLength(name, i)) {
        char& c = folded[i];
        if (host::CharLength(name, i) == 2) {
            continue;
        }
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c == '/') {
            c = '\\';
        }
    }
    return folded;
}

ArchiveIndex::ArchiveIndex(std::vector<host::ArchiveEntry> members) : members_(std::move(members)) {
    byName_.reserve(members_.size());
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (!members_[i].path.empty()) {
            byName_.emplace(FoldMemberName(members_[i].path), i);  // the first of a name wins
        }
    }
}

std::optional<ArchiveIndex::Found> ArchiveIndex::Find(std::string_view memberPath) const {
    const std::string folded = FoldMemberName(memberPath);
    std::optional<std::size_t> first;
    std::size_t matched = 0;
    auto tryLength = [&](std::size_t length) {
        const auto it = byName_.find(folded.substr(0, length));
        if (it != byName_.end() && (!first || it->second < *first)) {
            first = it->second;
            matched = length;
        }
    };
    // Names end at a separator that is a character of its own, or at the end of the path.
    for (std::size_t i = 0; i < memberPath.size(); i += host::CharLength(memberPath, i)) {
        if (IsSeparator(memberPath[i])) {
            tryLength(i);
        }
    }
    tryLength(memberPath.size());
    if (!first) {
        return std::nullopt;
    }
    return Found{&members_[*first], matched};
}

std::shared_ptr<const ArchiveIndex> IndexArchive(const Plugin& plugin,
                                                 const host::ArchiveSource& archive) {
    std::optional<FileKey> key;
    if (archive.IsFile()) {
        key = KeyOf(plugin, archive.File());
        if (key) {
            if (std::shared_ptr<const ArchiveIndex> kept = Cache().Get(*key)) {
                return kept;
            }
        }
    }
    std::optional<std::vector<host::ArchiveEntry>> members = plugin.GetArchiveInfo(archive);
    if (!members) {
        return nullptr;
    }
    auto index = std::make_shared<const ArchiveIndex>(std::move(*members));
    if (key) {
        Cache().Put(std::move(*key), index);
    }
    return index;
}

}  // namespace talu::stage
