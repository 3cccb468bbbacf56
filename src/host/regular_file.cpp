#include "host/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace talu::host {
namespace {

ReadRefusal RefusalOfOpen(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ReadRefusal::kMissing;
        case ELOOP:  // O_NOFOLLOW met a symbolic link
        case ENXIO:  // a socket, or a pipe opened for writing without a reader
            return ReadRefusal::kNotRegular;
        default:
            return ReadRefusal::kUnreadable;
    }
}

// Reads up to maxBytes + 1 bytes, so that a file grown past the cap since fstat is still caught.
RegularFileRead ReadOpened(int fd, std::size_t size, std::size_t maxBytes) {
    std::string bytes(size, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxBytes) {
                return {std::nullopt, ReadRefusal::kTooLarge};
            }
            bytes.resize(std::min(maxBytes + 1, bytes.size() + (std::size_t{64} << 10)));
        }
        const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return {std::nullopt, ReadRefusal::kUnreadable};
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return {std::move(bytes), ReadRefusal::kMissing};
}

}  // namespace

RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                                LastLink link) {
    const int follow = link == LastLink::kRefuse ? O_NOFOLLOW : 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | follow);
    if (fd < 0) {
        return {std::nullopt, RefusalOfOpen(errno)};
    }
    RegularFileRead result{std::nullopt, ReadRefusal::kNotRegular};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.refusal = ReadRefusal::kUnreadable;
    } else if (S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::uintmax_t>(info.st_size);
        result = size > maxBytes ? RegularFileRead{std::nullopt, ReadRefusal::kTooLarge}
                                 : ReadOpened(fd, static_cast<std::size_t>(size), maxBytes);
    }
    ::close(fd);
    return result;
}

}  // namespace talu::host
