#include "app/read_pages.h"

#include "host/atomic_file.h"
#include "host/paths.h"
#include "host/regular_file.h"
#include "script/sjis_text.h"

namespace talu::app {

void ReadPages::Bind(Place place, std::string bookFolder) {
    std::lock_guard lock(mutex_);
    SaveLocked();
    pages_.Clear();
    unsaved_ = 0;
    place_ = std::move(place);
    bookFolder_ = script::ToUpperAscii(bookFolder);
    if (place_.path.empty()) {
        return;
    }
    if (const auto host = host::FindHostPath(place_.path, {})) {
        const host::RegularFileRead file = host::ReadRegularFile(*host, kMaxFileBytes);
        if (file.bytes) {
            pages_.Read(*file.bytes);  // damaged: what came before the damage
        }
    }
}

void ReadPages::Unbind() {
    Bind({}, {});
}

std::string ReadPages::Key(std::string_view file) const {
    // Books written on Windows name their files in any case; a moved folder keeps its pages.
    std::string key = script::ToUpperAscii(file);
    if (!bookFolder_.empty() && key.starts_with(bookFolder_)) {
        key.erase(0, bookFolder_.size());
    }
    return key;
}

bool ReadPages::Contains(std::string_view file, int index) const {
    std::lock_guard lock(mutex_);
    return pages_.Contains(Key(file), index);
}

bool ReadPages::Record(std::string_view file, int index) {
    std::lock_guard lock(mutex_);
    if (!pages_.Insert(Key(file), index)) {
        return false;
    }
    if (++unsaved_ >= kSaveEvery) {
        SaveLocked();
    }
    return true;
}

bool ReadPages::Save() {
    std::lock_guard lock(mutex_);
    return SaveLocked();
}

bool ReadPages::SaveLocked() {
    if (unsaved_ == 0 || place_.path.empty()) {
        return true;
    }
    if (place_.makeFolder) {
        place_.makeFolder();
    }
    const auto host = host::HostPathForWriting(place_.path, {});
    if (!host || !host::WriteFileAtomically(*host, pages_.Text())) {
        return false;
    }
    unsaved_ = 0;
    return true;
}

}  // namespace talu::app
