#include "host/installed_data.h"

namespace talu::host {

namespace fs = std::filesystem;

std::optional<fs::path> InstalledDataFolder() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::nullopt;
    }
    // TALU_DATA_FROM_PROGRAM is the data folder relative to the program's folder, from the
    // install layout the build was configured with.
    const fs::path folder = (program.parent_path() / TALU_DATA_FROM_PROGRAM).lexically_normal();
    if (!fs::is_directory(folder, ec)) {
        return std::nullopt;
    }
    return folder;
}

std::optional<fs::path> InstalledDemoBook() {
    const std::optional<fs::path> folder = InstalledDataFolder();
    if (!folder) {
        return std::nullopt;
    }
    const fs::path book = *folder / "demo" / "demo.talu";
    std::error_code ec;
    if (!fs::is_regular_file(book, ec)) {
        return std::nullopt;
    }
    return book;
}

}  // namespace talu::host
