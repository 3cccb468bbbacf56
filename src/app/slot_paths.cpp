#include "app/slot_paths.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "host/paths.h"
#include "script/book.h"
#include "script/sjis_text.h"

namespace talu::app {
namespace {

// True when files can be made in an inside folder: it is a real folder (not an archive) and
// writable.
bool FolderTakesFiles(const std::string& folder) {
    const auto host = host::FindHostPath(folder, {});
    std::error_code ec;
    return host && std::filesystem::is_directory(*host, ec) && access(host->c_str(), W_OK) == 0;
}

// Makes an inside folder (ending with a backslash) and the folders above it.
bool MakeFolder(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    if (folder.empty() || host::FindHostPath(folder, {})) {
        return !folder.empty();
    }
    const std::size_t slash = folder.rfind('\\');
    if (slash == std::string::npos || !MakeFolder(folder.substr(0, slash + 1))) {
        return false;
    }
    const auto host = host::HostPathForWriting(folder, {});
    std::error_code ec;
    return host && std::filesystem::create_directory(*host, ec);
}

// The book path cut at the book file's own extension: a dot in a folder name is part of the
// folder.
std::string CutExtension(const std::string& path, std::size_t nameStart) {
    std::size_t dot = script::npos;
    for (std::size_t i = script::FindChar(path, '.', nameStart); i != script::npos;
         i = script::FindChar(path, '.', i + 1)) {
        dot = i;
    }
    return dot == script::npos ? path : path.substr(0, dot);
}

}  // namespace

SlotPaths::SlotPaths(std::string bookPath, std::string spareFolder)
    : bookPath_(std::move(bookPath)), spareFolder_(std::move(spareFolder)) {
    const std::size_t nameStart = script::FolderOf(bookPath_).size();
    const std::string base = CutExtension(bookPath_, nameStart);
    const bool beside = spareFolder_.empty() || FolderTakesFiles(bookPath_.substr(0, nameStart));
    fileBase_ = beside ? base : spareFolder_ + base.substr(nameStart);
}

std::string SlotPaths::Numbered(int n, const char* suffix) const {
    char text[32];
    std::snprintf(text, sizeof(text), ".%02d%s", n, suffix);
    return fileBase_ + text;
}

std::string SlotPaths::Slot(int n) const {
    return Numbered(n, ".bmk");
}

std::string SlotPaths::Memo(int n) const {
    return Numbered(n, ".memo");
}

std::string SlotPaths::Picture(int n) const {
    return Numbered(n, ".png");
}

std::string SlotPaths::Log(int n) const {
    return Numbered(n, ".log");
}

std::string SlotPaths::Place(int n) const {
    return Numbered(n, ".place");
}

std::string SlotPaths::BookMemo() const {
    return fileBase_ + ".memo";
}

std::string SlotPaths::ReadPages() const {
    return fileBase_ + ".read";
}

std::string SlotPaths::BookFolder() const {
    return std::string(script::FolderOf(bookPath_));
}

std::string SlotPaths::BookFileName() const {
    return bookPath_.substr(script::FolderOf(bookPath_).size());
}

bool SlotPaths::MakeSpareFolder() const {
    return spareFolder_.empty() || !fileBase_.starts_with(spareFolder_) || MakeFolder(spareFolder_);
}

}  // namespace talu::app
