#include "host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "host/regular_file.h"

namespace talu::host {
namespace {

// The largest file a batch keeps a copy of when the folder cannot hold a second link to it.
constexpr std::size_t kMaxCopiedBackupBytes = std::size_t{256} << 20;

// A name beside the target that no other writer in this process or another one picks.
std::string SideName(const std::filesystem::path& path, const char* kind) {
    static std::atomic<unsigned> counter{0};
    return path.string() + kind + std::to_string(::getpid()) + '-' +
           std::to_string(counter.fetch_add(1));
}

// Writes and syncs bytes into a fresh file; false (and no file left) on any error. The file is
// created with 0666 so the reader's umask decides, as for any file the reader saves.
bool WriteSynced(const std::string& temporary, std::string_view bytes) {
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    for (std::size_t written = 0; ok && written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        ok = n > 0;
        written += ok ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        std::remove(temporary.c_str());
    }
    return ok;
}

// The renames must reach the disk too, or a crash may bring back the old files; one sync of
// each folder covers every rename in it.
void SyncFolder(const std::filesystem::path& folder) {
    const std::filesystem::path path = folder.empty() ? std::filesystem::path(".") : folder;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Keeps what a target holds now under a side name, so a batch failing half way can put it
// back: a second link where the folder allows one, else a synced copy. "" when there is nothing
// to keep; nullopt when it cannot be kept.
std::optional<std::string> KeepOld(const std::filesystem::path& target) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
        return std::string();
    }
    std::string backup = SideName(target, ".old");
    if (::link(target.c_str(), backup.c_str()) == 0) {
        return backup;
    }
    const RegularFileRead old = ReadRegularFile(target, kMaxCopiedBackupBytes);
    if (old.bytes && WriteSynced(backup, *old.bytes)) {
        return backup;
    }
    return std::nullopt;
}

void RemoveAll(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (!name.empty()) {
            std::remove(name.c_str());
        }
    }
}

// Puts the first count targets back as they were before the batch. A copy that cannot be put
// back stays beside its target rather than be lost.
void RollBack(std::span<const FileContents> files, std::vector<std::string>& backups,
              std::size_t count) {
    for (std::size_t i = count; i-- > 0;) {
        if (backups[i].empty()) {
            std::remove(files[i].path.c_str());
        } else if (std::rename(backups[i].c_str(), files[i].path.c_str()) == 0) {
            backups[i].clear();
        }
    }
    backups.erase(backups.begin(), backups.begin() + static_cast<std::ptrdiff_t>(count));
}

// Writes every file beside its target; the side names, or nullopt (nothing left) on failure.
std::optional<std::vector<std::string>> WriteTemporaries(std::span<const FileContents> files) {
    std::vector<std::string> temporaries;
    for (const FileContents& file : files) {
        std::string temporary = SideName(file.path, ".tmp");
        if (!WriteSynced(temporary, file.bytes)) {
            RemoveAll(temporaries);
            return std::nullopt;
        }
        temporaries.push_back(std::move(temporary));
    }
    return temporaries;
}

}  // namespace

// Only a regular file (or a symbolic link, which the rename replaces without following) is
// replaced: renaming over a device (output sent to /dev/full) or a pipe would take its name
// away from everyone else.
bool IsReplaceable(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::symlink_status(path, ec).type();
    return type == std::filesystem::file_type::not_found ||
           type == std::filesystem::file_type::regular ||
           type == std::filesystem::file_type::symlink;
}

bool WriteFilesAtomically(std::span<const FileContents> files) {
    if (files.empty()) {
        return true;
    }
    if (!std::all_of(files.begin(), files.end(),
                     [](const FileContents& file) { return IsReplaceable(file.path); })) {
        return false;
    }
    std::optional<std::vector<std::string>> temporaries = WriteTemporaries(files);
    if (!temporaries) {
        return false;
    }
    // The last target needs no copy: a batch that fails at its rename has not changed it.
    std::vector<std::string> backups;
    for (const FileContents& file : files.first(files.size() - 1)) {
        std::optional<std::string> backup = KeepOld(file.path);
        if (!backup) {
            RemoveAll(*temporaries);
            RemoveAll(backups);
            return false;
        }
        backups.push_back(std::move(*backup));
    }
    std::vector<std::filesystem::path> folders;
    std::size_t renamed = 0;
    for (; renamed < files.size(); ++renamed) {
        if (std::rename((*temporaries)[renamed].c_str(), files[renamed].path.c_str()) != 0) {
            break;
        }
        const std::filesystem::path folder = files[renamed].path.parent_path();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    const bool done = renamed == files.size();
    if (!done) {
        RollBack(files, backups, std::min(renamed, backups.size()));
        RemoveAll(std::vector<std::string>(temporaries->begin() + renamed, temporaries->end()));
    }
    RemoveAll(backups);
    for (const std::filesystem::path& folder : folders) {
        SyncFolder(folder);
    }
    return done;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const FileContents file{path, bytes};
    return WriteFilesAtomically({&file, 1});
}

}  // namespace talu::host
