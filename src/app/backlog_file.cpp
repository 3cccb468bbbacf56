#include "app/backlog_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "host/atomic_file.h"
#include "host/paths.h"
#include "host/regular_file.h"

namespace talu::app {
namespace {

constexpr std::string_view kHeader = "talu backlog 1";
constexpr std::string_view kPage = "page";
constexpr std::string_view kTextMark = "|";
constexpr std::string_view kChosenMark = "> ";

bool IsControl(unsigned char c) {
    return (c < 0x20 && c != '\t') || c == 0x7F;
}

// Length of the well-formed UTF-8 character at text[pos] (no overlong form, no surrogate,
// nothing above U+10FFFF), 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char c = byte(0);
    if (c < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (pos + length > text.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool IsCleanLine(std::string_view line) {
    if (line.size() > kMaxBacklogLineBytes) {
        return false;
    }
    for (std::size_t pos = 0; pos < line.size();) {
        const std::size_t length = Utf8Length(line, pos);
        if (length == 0 || (length == 1 && IsControl(static_cast<unsigned char>(line[pos])))) {
            return false;
        }
        pos += length;
    }
    return true;
}

// One line as the reader takes it back: clean, and short enough with its mark.
void AppendLine(std::string& out, std::string_view mark, std::string_view text) {
    std::string line(mark);
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = std::max<std::size_t>(Utf8Length(text, pos), 1);
        if (line.size() + length > kMaxBacklogLineBytes) {
            break;
        }
        const auto c = static_cast<unsigned char>(text[pos]);
        if (Utf8Length(text, pos) == 0) {
            line += "\xEF\xBF\xBD";  // U+FFFD for a byte that is no character
        } else if (IsControl(c)) {
            line += ' ';
        } else {
            line.append(text, pos, length);
        }
        pos += length;
    }
    out += line;
    out += '\n';
}

}  // namespace

std::string FormatBacklog(const std::vector<BacklogEntry>& entries) {
    std::string out(kHeader);
    out += '\n';
    for (const BacklogEntry& entry : entries) {
        out += '\n';
        out += kPage;
        out += '\n';
        std::string_view text = entry.text;
        for (std::size_t start = 0;;) {
            const std::size_t end = text.find('\n', start);
            AppendLine(out, "| ", text.substr(start, end - start));
            if (end == std::string_view::npos) {
                break;
            }
            start = end + 1;
        }
        if (!entry.chosen.empty()) {
            AppendLine(out, kChosenMark, entry.chosen);
        }
    }
    return out;
}

std::vector<BacklogEntry> ParseBacklog(std::string_view bytes) {
    std::vector<BacklogEntry> entries;
    std::optional<BacklogEntry> page;
    bool firstLine = true;
    bool firstText = true;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!IsCleanLine(line) || (firstLine && line != kHeader)) {
            page.reset();
            break;
        }
        if (firstLine || line.empty()) {
            firstLine = false;
            continue;
        }
        if (line == kPage) {
            if (page) {
                entries.push_back(std::move(*page));
            }
            page.emplace();
            firstText = true;
        } else if (page && line.starts_with(kTextMark)) {
            line.remove_prefix(line.starts_with("| ") ? 2 : 1);
            if (!firstText) {
                page->text += '\n';
            }
            page->text += line;
            firstText = false;
        } else if (page && line.starts_with(kChosenMark)) {
            page->chosen = line.substr(kChosenMark.size());
        } else {
            page.reset();  // the page this line is in is not to be trusted
            break;
        }
    }
    if (page) {
        entries.push_back(std::move(*page));
    }
    return entries;
}

std::vector<BacklogEntry> ReadBacklogFile(const std::string& insidePath) {
    const auto host = host::FindHostPath(insidePath, {});
    if (!host) {
        return {};
    }
    const host::RegularFileRead read = host::ReadRegularFile(*host, kMaxBacklogFileBytes);
    return read.bytes ? ParseBacklog(*read.bytes) : std::vector<BacklogEntry>{};
}

bool WriteBacklogFile(const std::string& insidePath, const std::vector<BacklogEntry>& entries) {
    const auto host = host::HostPathForWriting(insidePath, {});
    return host && host::IsReplaceable(*host) &&
           host::WriteFileAtomically(*host, FormatBacklog(entries));
}

void RemoveBacklogFile(const std::string& insidePath) {
    const auto host = host::FindHostPath(insidePath, {});
    struct stat info {};
    if (host && ::lstat(host->c_str(), &info) == 0 &&
        (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) {
        std::remove(host->c_str());
    }
}

}  // namespace talu::app
