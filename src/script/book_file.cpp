#include "script/book_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "host/paths.h"
#include "host/regular_file.h"

namespace talu::script {
namespace {

constexpr char kCtrlZ = 0x1A;

// No book file may be larger than everything a book may read together (ReadLimits::bytes).
constexpr std::size_t kMaxBookFileBytes = std::size_t{64} << 20;

// A book file is read only when it is a regular file (a link to one is followed: books are
// often put together from shared parts), without blocking on a pipe and within the cap.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    return host::ReadRegularFile(path, kMaxBookFileBytes, host::LastLink::kFollow).bytes;
}

}  // namespace

BookFile::BookFile(std::string insidePath, std::string bytes, Kind kind)
    : path_(std::move(insidePath)), bytes_(std::move(bytes)), kind_(kind) {
    if (kind_ == Kind::PlainFile) {
        // Text mode ended a file at Ctrl-Z, which old editors left at the end of books.
        if (std::size_t eof = bytes_.find(kCtrlZ); eof != std::string::npos) {
            bytes_.resize(eof);
        }
    }
}

std::optional<BookFile> BookFile::Open(std::string_view insidePath, std::string_view bookFolder,
                                       const ArchiveMemberSource* archives) {
    host::HostPathOptions options{bookFolder};
    if (auto host = host::FindHostPath(insidePath, options)) {
        if (auto bytes = ReadWholeFile(*host)) {
            BookFile file(std::string(insidePath), std::move(*bytes), Kind::PlainFile);
            file.SetHostPath(host->string());
            return file;
        }
    }
    if (archives != nullptr) {
        if (auto bytes = archives->ReadMember(insidePath, bookFolder)) {
            return BookFile(std::string(insidePath), std::move(*bytes), Kind::MemoryBlock);
        }
    }
    return std::nullopt;
}

bool BookFile::ReadLine(std::string& line) {
    if (offset_ >= bytes_.size()) {
        return false;
    }
    const char* begin = bytes_.data() + offset_;
    const std::size_t left = bytes_.size() - offset_;
    const char* found =
        kind_ == Kind::PlainFile
            ? static_cast<const char*>(std::memchr(begin, '\n', left))
            : std::find_if(begin, begin + left, [](char c) { return c == '\r' || c == '\n'; });
    if (found == begin + left) {
        found = nullptr;
    }
    std::size_t length = found ? static_cast<std::size_t>(found - begin) : left;
    offset_ += found ? length + 1 : length;
    if (kind_ == Kind::PlainFile) {
        if (found && length > 0 && begin[length - 1] == '\r') {
            --length;
        }
    } else if (found && *found == '\r' && offset_ < bytes_.size() && bytes_[offset_] == '\n') {
        ++offset_;
    }
    const void* nul = std::memchr(begin, '\0', length);
    if (nul) {
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - begin);
    }
    line.assign(begin, length);
    ++lineNumber_;
    return true;
}

}  // namespace talu::script
