#include "interp/memo_store.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/atomic_file.h"
#include "host/paths.h"

namespace talu::interp {

void MemoStore::Load(std::string_view insidePath) {
    path_ = std::string(insidePath);
    auto host = host::FindHostPath(insidePath, {});
    if (!host) {
        return;
    }
    std::ifstream in(*host, std::ios::binary);
    if (in) {
        table_.ReadFrom(in);
    }
}

void MemoStore::Save(std::string_view insidePath) {
    std::string path(insidePath);  // insidePath may view path_ itself (Flush)
    auto host = host::HostPathForWriting(path, {});
    path_ = std::move(path);
    if (!host) {
        return;
    }
    host::WriteFileAtomically(*host, Text());
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
