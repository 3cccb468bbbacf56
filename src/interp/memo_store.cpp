#include "interp/memo_store.h"

#include <filesystem>
#include <sstream>

#include "host/atomic_file.h"
#include "host/paths.h"
#include "host/regular_file.h"

namespace talu::interp {

void MemoStore::Load(std::string_view insidePath) {
    path_ = std::string(insidePath);
    auto host = host::FindHostPath(insidePath, {});
    if (!host) {
        return;
    }
    // A pipe, device, link or giant of that name is passed over as a missing memo would be.
    const host::RegularFileRead file = host::ReadRegularFile(*host, kMaxMemoFileBytes);
    if (file.bytes) {
        std::istringstream in(*file.bytes);
        table_.ReadFrom(in);
    }
}

void MemoStore::Save(std::string_view insidePath) {
    std::string path(insidePath);  // insidePath may view path_ itself (Flush)
    auto host = host::HostPathForWriting(path, {});
    path_ = std::move(path);
    const std::string text = Text();
    if (!host || text.size() > kMaxMemoFileBytes) {
        return;  // what could not be read back is not written over the old file
    }
    host::WriteFileAtomically(*host, text);
}

std::string MemoStore::Text() const {
    std::ostringstream text;
    table_.WriteTo(text, "\r\n");
    return text.str();
}

void MemoStore::Erase() {
    if (auto host = host::FindHostPath(path_, {})) {
        std::error_code ec;
        std::filesystem::remove(*host, ec);
    }
}

}  // namespace talu::interp
