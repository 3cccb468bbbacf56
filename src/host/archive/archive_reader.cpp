#include "host/archive/archive_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <fcntl.h>
#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "host/encoding.h"

namespace talu::host {
namespace {

struct ArchiveDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchiveHandle = std::unique_ptr<archive, ArchiveDeleter>;

constexpr std::size_t kFileBlockSize = 64 * 1024;
constexpr std::size_t kChunkSize = 64 * 1024;
// A declared size is only a hint: never reserve more than this before the bytes arrive.
constexpr std::size_t kMaxReserve = 16 * 1024 * 1024;

// libarchive turns member names into the charset of the calling thread's locale: LHA names from
// CP932, zip names flagged as UTF-8, and fails on names the locale cannot hold. Under a fixed
// UTF-8 locale every name arrives as UTF-8, which we turn into the books' CP932, so members are
// found alike whatever locale the player runs under.
class Utf8NamesScope {
  public:
    Utf8NamesScope() : utf8_(newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{})) {
        if (utf8_ != locale_t{}) {
            previous_ = uselocale(utf8_);
        }
    }
    ~Utf8NamesScope() {
        if (utf8_ != locale_t{}) {
            uselocale(previous_);
            freelocale(utf8_);
        }
    }
    Utf8NamesScope(const Utf8NamesScope&) = delete;
    Utf8NamesScope& operator=(const Utf8NamesScope&) = delete;

  private:
    locale_t utf8_;
    locale_t previous_ = locale_t{};
};

// Only the formats books were packed with; support_format_all would also take text files
// as mtree listings, and filter_all may start external programs.
ArchiveHandle NewReader() {
    ArchiveHandle a(archive_read_new());
    if (!a) {
        return nullptr;
    }
    archive_read_support_format_lha(a.get());
    archive_read_support_format_zip(a.get());
    archive_read_support_format_7zip(a.get());
    archive_read_support_format_cab(a.get());
    archive_read_support_format_tar(a.get());
    archive_read_support_filter_gzip(a.get());
    archive_read_support_filter_bzip2(a.get());
    archive_read_support_filter_xz(a.get());
    // Names without a charset of their own (unflagged zip, LHA, tar) were written on Japanese
    // systems in CP932.
    archive_read_set_options(a.get(), "hdrcharset=CP932");
    return a;
}

ArchiveHandle Open(const ArchiveSource& source) {
    ArchiveHandle a = NewReader();
    if (!a) {
        return nullptr;
    }
    int result = ARCHIVE_FATAL;
    if (source.IsFile()) {
        result = archive_read_open_filename(a.get(), source.File().c_str(), kFileBlockSize);
    } else if (!source.Memory().empty()) {
        result = archive_read_open_memory(a.get(), source.Memory().data(), source.Memory().size());
    }
    if (result != ARCHIVE_OK) {
        return nullptr;
    }
    return a;
}

bool Readable(int result) {
    return result == ARCHIVE_OK || result == ARCHIVE_WARN;
}

// The member's name in CP932 with backslashes; as stored when it has no CP932 form.
std::string StoredPath(archive_entry* entry) {
    std::string path;
    const char* utf8 = archive_entry_pathname_utf8(entry);
    std::optional<std::string> cp932;
    if (utf8 != nullptr) {
        cp932 = Utf8ToCp932Exact(utf8);
    }
    if (cp932) {
        path = std::move(*cp932);
    } else if (const char* raw = archive_entry_pathname(entry)) {
        path = raw;
    }
    // No CP932 trail byte is a slash, so this never splits a character.
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool StartsWith(std::span<const std::uint8_t> head, std::size_t offset, std::string_view magic) {
    return head.size() >= offset + magic.size() &&
           std::memcmp(head.data() + offset, magic.data(), magic.size()) == 0;
}

// Tar and LHA members each start with headers that say all about them, so a reader may begin
// at any member of an uncompressed file. Zip files are listed from their central directory,
// whose positions are not the members' own headers; 7z and CAB have no such headers at all.
bool SelfContainedHeaders(archive* a) {
    if (archive_filter_count(a) != 1) {
        return false;  // compressed: no offset in the file to start at
    }
    const int base = archive_format(a) & ARCHIVE_FORMAT_BASE_MASK;
    return base == ARCHIVE_FORMAT_TAR || base == ARCHIVE_FORMAT_LHA;
}

std::optional<std::vector<std::uint8_t>> ReadData(archive* a, archive_entry* entry,
                                                  std::size_t maxBytes) {
    if (archive_entry_filetype(entry) != AE_IFREG) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    if (archive_entry_size_is_set(entry)) {
        la_int64_t declared = archive_entry_size(entry);
        if (declared < 0 || static_cast<std::uint64_t>(declared) > maxBytes) {
            return std::nullopt;
        }
        bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(declared), kMaxReserve));
    }
    std::array<std::uint8_t, kChunkSize> chunk;
    for (;;) {
        la_ssize_t got = archive_read_data(a, chunk.data(), chunk.size());
        if (got == 0) {
            break;
        }
        if (got < 0) {
            // Warnings too: a reader that keeps warning would otherwise never finish.
            return std::nullopt;
        }
        if (static_cast<std::size_t>(got) > maxBytes - bytes.size()) {
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
    }
    return bytes;
}

// A host file read from wherever its descriptor stands, without a seek callback: libarchive
// would seek to absolute places (the zip bidder looks at the file's end, then goes back to 0).
struct FileFromHere {
    int fd = -1;
    std::vector<std::uint8_t> block = std::vector<std::uint8_t>(kFileBlockSize);
};

la_ssize_t ReadFromHere(archive* /*a*/, void* data, const void** buffer) {
    auto* file = static_cast<FileFromHere*>(data);
    *buffer = file->block.data();
    for (;;) {
        const ssize_t got = ::read(file->fd, file->block.data(), file->block.size());
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

la_int64_t SkipFromHere(archive* /*a*/, void* data, la_int64_t request) {
    auto* file = static_cast<FileFromHere*>(data);
    return ::lseek(file->fd, request, SEEK_CUR) < 0 ? 0 : request;
}

}  // namespace

ArchiveSource ArchiveSource::FromFile(std::filesystem::path file) {
    ArchiveSource source;
    source.file_ = std::move(file);
    return source;
}

ArchiveSource ArchiveSource::FromMemory(std::span<const std::uint8_t> bytes) {
    ArchiveSource source;
    source.memory_ = bytes;
    return source;
}

bool LooksLikeArchive(std::span<const std::uint8_t> head) {
    // LHA level 0-2 headers: "-lh?-" or "-lz?-" method text at offset 2.
    if (head.size() >= 7 && head[2] == '-' && head[3] == 'l' &&
        (head[4] == 'h' || head[4] == 'z') && head[6] == '-') {
        return true;
    }
    using namespace std::string_view_literals;
    return StartsWith(head, 0, "PK\x03\x04"sv) || StartsWith(head, 0, "PK\x05\x06"sv) ||
           StartsWith(head, 0, "7z\xBC\xAF\x27\x1C"sv) || StartsWith(head, 0, "MSCF\0\0\0\0"sv) ||
           StartsWith(head, 257, "ustar"sv) || StartsWith(head, 0, "\x1F\x8B"sv) ||
           StartsWith(head, 0, "BZh"sv) ||
           StartsWith(head, 0,
                      "\xFD"
                      "7zXZ\0"sv);
}

std::optional<std::vector<ArchiveEntry>> ListArchive(const ArchiveSource& source) {
    const Utf8NamesScope names;
    ArchiveHandle a = Open(source);
    if (!a) {
        return std::nullopt;
    }
    std::vector<ArchiveEntry> entries;
    archive_entry* entry = nullptr;
    int index = 0;
    for (;; ++index) {
        int result = archive_read_next_header(a.get(), &entry);
        if (result == ARCHIVE_EOF) {
            break;
        }
        if (!Readable(result)) {
            // A damaged tail keeps the members listed before it, as far as they go.
            if (index == 0) {
                return std::nullopt;
            }
            break;
        }
        if (archive_entry_filetype(entry) != AE_IFREG) {
            continue;
        }
        ArchiveEntry listed;
        listed.path = StoredPath(entry);
        listed.index = index;
        listed.size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
        listed.modified = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
        if (source.IsFile() && SelfContainedHeaders(a.get())) {
            listed.headerOffset = archive_read_header_position(a.get());
        }
        entries.push_back(std::move(listed));
    }
    return entries;
}

std::optional<std::vector<std::uint8_t>> ReadArchiveEntry(const ArchiveSource& source, int index,
                                                          std::size_t maxBytes) {
    if (index < 0) {
        return std::nullopt;
    }
    // The same headers must be readable as when the members were listed.
    const Utf8NamesScope names;
    ArchiveHandle a = Open(source);
    if (!a) {
        return std::nullopt;
    }
    archive_entry* entry = nullptr;
    for (int i = 0; i <= index; ++i) {
        if (!Readable(archive_read_next_header(a.get(), &entry))) {
            return std::nullopt;
        }
    }
    return ReadData(a.get(), entry, maxBytes);
}

std::optional<std::vector<std::uint8_t>> ReadArchiveMember(const ArchiveSource& source,
                                                           const ArchiveEntry& member,
                                                           std::size_t maxBytes) {
    if (!source.IsFile() || member.headerOffset < 0) {
        return ReadArchiveEntry(source, member.index, maxBytes);
    }
    const Utf8NamesScope names;
    FileFromHere file;
    file.fd = ::open(source.File().c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0) {
        return std::nullopt;
    }
    ArchiveHandle a = NewReader();
    archive_entry* entry = nullptr;
    // The reader starts where the descriptor stands: at the member's first header.
    const bool there =
        a && ::lseek(file.fd, member.headerOffset, SEEK_SET) == member.headerOffset &&
        archive_read_set_read_callback(a.get(), ReadFromHere) == ARCHIVE_OK &&
        archive_read_set_skip_callback(a.get(), SkipFromHere) == ARCHIVE_OK &&
        archive_read_set_callback_data(a.get(), &file) == ARCHIVE_OK &&
        archive_read_open1(a.get()) == ARCHIVE_OK &&
        Readable(archive_read_next_header(a.get(), &entry)) &&
        archive_entry_filetype(entry) == AE_IFREG && StoredPath(entry) == member.path;
    std::optional<std::vector<std::uint8_t>> bytes;
    if (there) {
        bytes = ReadData(a.get(), entry, maxBytes);
    }
    a.reset();
    ::close(file.fd);
    // A file changed since it was listed is read the slow way, by position.
    return there ? bytes : ReadArchiveEntry(source, member.index, maxBytes);
}

}  // namespace talu::host
