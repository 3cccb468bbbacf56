#include "app/recent_books.h"

#include <algorithm>
#include <optional>
#include <string>

#include "host/encoding.h"

namespace talu::app {
namespace {

constexpr std::string_view kSystem = "SYSTEM";
// Paths with no CP932 form are stored as a file URL, so that every host path comes back whole.
constexpr std::string_view kUrlPrefix = "file://";

std::string Key(std::size_t i) {
    return "RecentBook" + std::to_string(i + 1);
}

std::string Stored(const std::filesystem::path& file) {
    if (std::optional<std::string> cp932 = host::Utf8ToCp932Exact(file.string())) {
        return *cp932;
    }
    std::string url(kUrlPrefix);
    constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : file.string()) {
        if (c > 0x20 && c < 0x7F && c != '%') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::filesystem::path> FromStored(std::string_view stored) {
    if (!stored.starts_with(kUrlPrefix)) {
        return std::filesystem::path(host::Cp932ToUtf8(stored));
    }
    std::string bytes;
    for (std::size_t i = kUrlPrefix.size(); i < stored.size(); ++i) {
        if (stored[i] != '%') {
            bytes += stored[i];
            continue;
        }
        const int high = i + 2 < stored.size() ? HexValue(stored[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(stored[i + 2]) : -1;
        if (low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return std::filesystem::path(bytes);
}

}  // namespace

void RecentBooks::Opened(const std::filesystem::path& file) {
    const std::filesystem::path normal = file.lexically_normal();
    std::erase(books_, normal);
    books_.insert(books_.begin(), normal);
    if (books_.size() > kLimit) {
        books_.resize(kLimit);
    }
}

const std::vector<std::filesystem::path>& RecentBooks::Existing() {
    std::erase_if(books_, [](const std::filesystem::path& file) {
        std::error_code ec;
        return !std::filesystem::is_regular_file(file, ec);
    });
    return books_;
}

void RecentBooks::Add(const std::filesystem::path& file) {
    const std::filesystem::path normal = file.lexically_normal();
    if (normal.is_absolute() && books_.size() < kLimit &&
        std::find(books_.begin(), books_.end(), normal) == books_.end()) {
        books_.push_back(normal);
    }
}

void RecentBooks::Read(const SettingsStore& store) {
    books_.clear();
    for (std::size_t i = 0; i < kLimit; ++i) {
        const std::optional<std::string> stored = store.ReadString(kSystem, Key(i));
        if (stored && !stored->empty()) {
            if (std::optional<std::filesystem::path> file = FromStored(*stored)) {
                Add(*file);
            }
        }
    }
}

void RecentBooks::Write(SettingsStore& store) const {
    for (std::size_t i = 0; i < kLimit; ++i) {
        // Keys past the last entry are emptied, so a shorter list does not bring old ones back.
        store.WriteString(kSystem, Key(i), i < books_.size() ? Stored(books_[i]) : std::string());
    }
}

}  // namespace talu::app
