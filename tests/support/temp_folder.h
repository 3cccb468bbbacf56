#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "host/paths.h"

namespace talu::test {

/// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "talu-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    /// Writes bytes to a file below the folder, creating folders on the way.
    std::filesystem::path Write(const std::filesystem::path& relative,
                                std::string_view bytes) const {
        std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    /// The inside (Windows-form) path of a host path below the folder.
    std::string Inside(const std::filesystem::path& relative = {}) const {
        return host::InsidePathFromHost(relative.empty() ? path_ : path_ / relative);
    }

    /// The inside form of the folder itself, ending with a backslash.
    std::string InsideFolder() const { return Inside() + "\\"; }

  private:
    std::filesystem::path path_;
};

}  // namespace talu::test
