#pragma once

// Helpers shared by the picture-loading tests: BMP files built byte by byte, scratch folders,
// and a message-box host that records what the player would have shown.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "host/encoding.h"
#include "host/paths.h"
#include "script/diagnostics.h"

namespace talu::stage::testing {

/// A BMP file with a 40-byte information header.
struct BmpLayout {
    int width = 1;
    int height = 1;
    int bitCount = 24;
    uint32_t compression = 0;
    /// Colours 0xRRGGBB; written as 4-byte entries, counted in "colours used".
    std::vector<uint32_t> palette;
    /// Red, green, blue masks written behind the header (bit-field compression).
    std::vector<uint32_t> masks;
    /// Stored pixel data, written as given.
    std::vector<uint8_t> pixels;
    /// Bytes of padding between the headers and the pixel data.
    std::size_t gap = 0;
    /// Replaces the pixel-data offset field when set.
    std::optional<uint32_t> offsetField;
    /// Replaces the file-size field when set.
    std::optional<uint32_t> fileSizeField;
};

inline void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

inline std::vector<uint8_t> MakeBmp(const BmpLayout& layout) {
    const uint32_t headerEnd =
        static_cast<uint32_t>(14 + 40 + layout.masks.size() * 4 + layout.palette.size() * 4);
    const uint32_t offset = headerEnd + static_cast<uint32_t>(layout.gap);
    const uint32_t size = offset + static_cast<uint32_t>(layout.pixels.size());
    std::vector<uint8_t> out = {'B', 'M'};
    Put(out, layout.fileSizeField.value_or(size), 4);
    Put(out, 0, 4);
    Put(out, layout.offsetField.value_or(offset), 4);
    Put(out, 40, 4);
    Put(out, static_cast<uint32_t>(layout.width), 4);
    Put(out, static_cast<uint32_t>(layout.height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(layout.bitCount), 2);
    Put(out, layout.compression, 4);
    Put(out, 0, 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, static_cast<uint32_t>(layout.palette.size()), 4);
    Put(out, 0, 4);
    for (uint32_t mask : layout.masks) {
        Put(out, mask, 4);
    }
    for (uint32_t colour : layout.palette) {
        Put(out, colour & 0xFFFFFF, 4);  // 0xRRGGBB little-endian is blue, green, red, 0
    }
    out.resize(out.size() + layout.gap, 0xEE);
    out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
    return out;
}

inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

/// A fresh scratch folder per test, removed afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (std::string("talu_pictures_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }

    const std::filesystem::path& Path() const { return path_; }
    /// The folder's inside form, ending with "\".
    std::string Inside() const { return host::InsidePathFromHost(path_) + "\\"; }

  private:
    std::filesystem::path path_;
};

/// The inside form of a test-data folder, ending with "\".
inline std::string InsideTestData(std::string_view folder) {
    return host::InsidePathFromHost(std::filesystem::path(TALU_TESTDATA) / folder) + "\\";
}

/// Records every message box, converted to UTF-8.
class RecordingBoxes : public script::MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view text) override {
        boxes.push_back(host::Cp932ToUtf8(text));
    }
    std::vector<std::string> boxes;
};

}  // namespace talu::stage::testing
