// Any bytes as a book for the author's checker: no crash, no hang, whatever the book holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "frontend/cli/check_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("talu-fuzz-checker-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    const std::filesystem::path book = folder / "book.talu";
    {
        std::ofstream out(book, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::ostringstream report;
    std::ostringstream problems;
    talu::cli::RunCheck(talu::cli::CheckOptions{book.string()}, report, problems);
    return 0;
}
