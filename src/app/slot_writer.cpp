#include "app/slot_writer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "host/atomic_file.h"
#include "host/paths.h"

namespace talu::app {
namespace {

std::vector<std::pair<std::string, std::string>> SortedEntries(const script::StringTable& table) {
    auto entries = table.SavedEntries();
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Removes an old picture or place after a save without one: a file or link, never a folder.
void RemoveOldFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) {
        std::remove(path.c_str());
    }
}

}  // namespace

SlotWriteOutcome WriteSlotFiles(const SlotFiles& files) {
    const auto slotHost = host::HostPathForWriting(files.slotPath, {});
    const auto memoHost = host::HostPathForWriting(files.memoPath, {});
    const auto bookMemoHost = host::HostPathForWriting(files.bookMemoPath, {});
    if (!slotHost || !memoHost || !bookMemoHost) {
        return SlotWriteOutcome::kNoPlace;
    }
    const auto pictureHost = host::HostPathForWriting(files.picturePath, {});
    const bool withPicture =
        !files.picture.empty() && pictureHost && host::IsReplaceable(*pictureHost);
    std::vector<host::FileContents> batch = {{*memoHost, files.memo},
                                             {*bookMemoHost, files.bookMemo}};
    if (withPicture) {
        batch.push_back({*pictureHost, files.picture});
    }
    // A place that cannot go along is left out: the slot loads as one without it.
    const auto placeHost =
        files.placePath.empty() ? std::nullopt : host::HostPathForWriting(files.placePath, {});
    const bool withPlace = !files.place.empty() && placeHost && host::IsReplaceable(*placeHost);
    if (withPlace) {
        batch.push_back({*placeHost, files.place});
    }
    batch.push_back({*slotHost, files.slot});
    if (!host::WriteFilesAtomically(batch)) {
        return SlotWriteOutcome::kFailed;
    }
    if (!withPicture && pictureHost) {
        RemoveOldFile(*pictureHost);
    }
    if (!withPlace && placeHost) {
        RemoveOldFile(*placeHost);
    }
    return SlotWriteOutcome::kWritten;
}

void RemoveSlotSideFile(const std::string& insidePath) {
    if (const auto host = host::FindHostPath(insidePath, {})) {
        RemoveOldFile(*host);
    }
}

std::optional<std::string> LoadableMemoText(const interp::MemoStore& memo) {
    std::string text = memo.Text();
    if (text.size() > interp::kMaxMemoFileBytes) {
        return std::nullopt;
    }
    script::StringTable back;
    std::istringstream in(text);
    back.ReadFrom(in);
    if (SortedEntries(back) != SortedEntries(memo.Table())) {
        return std::nullopt;
    }
    return text;
}

}  // namespace talu::app
