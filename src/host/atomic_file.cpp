#include "host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace talu::host {
namespace {

// A name beside the target that no other writer in this process or another one picks.
std::string TemporaryName(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    return path.string() + ".tmp" + std::to_string(::getpid()) + '-' +
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

// Only a regular file is replaced: renaming over a device (output sent to /dev/full) or a pipe
// would take its name away from everyone else.
bool Replaceable(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_type type = std::filesystem::status(path, ec).type();
    return type == std::filesystem::file_type::not_found ||
           type == std::filesystem::file_type::regular;
}

}  // namespace

bool WriteFilesAtomically(std::span<const FileContents> files) {
    if (!std::all_of(files.begin(), files.end(),
                     [](const FileContents& file) { return Replaceable(file.path); })) {
        return false;
    }
    std::vector<std::string> temporaries;
    for (const FileContents& file : files) {
        std::string temporary = TemporaryName(file.path);
        if (!WriteSynced(temporary, file.bytes)) {
            for (const std::string& written : temporaries) {
                std::remove(written.c_str());
            }
            return false;
        }
        temporaries.push_back(std::move(temporary));
    }
    std::vector<std::filesystem::path> folders;
    bool renamed = true;
    for (std::size_t i = 0; i < files.size() && renamed; ++i) {
        renamed = std::rename(temporaries[i].c_str(), files[i].path.c_str()) == 0;
        if (!renamed) {
            for (std::size_t j = i; j < files.size(); ++j) {
                std::remove(temporaries[j].c_str());
            }
        }
        const std::filesystem::path folder = files[i].path.parent_path();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    for (const std::filesystem::path& folder : folders) {
        SyncFolder(folder);
    }
    return renamed;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const FileContents file{path, bytes};
    return WriteFilesAtomically({&file, 1});
}

}  // namespace talu::host
