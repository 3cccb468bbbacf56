#pragma once

// Helpers shared by the picture-loading tests: BMP files built byte by byte, test data folders,
// a message-box host that records what the player would have shown and a fake archive extractor.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/encoding.h"
#include "host/paths.h"
#include "script/diagnostics.h"
#include "stage/plugin_list.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

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

/// Appends a little-endian 32-bit value.
inline void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

/// The file bytes of layout.
inline std::vector<uint8_t> MakeBmp(const BmpLayout& layout) {
    const uint32_t headerEnd =
        static_cast<uint32_t>(14 + 40 + layout.masks.size() * 4 + layout.palette.size() * 4);
    const uint32_t offset = headerEnd + static_cast<uint32_t>(layout.gap);
    const uint32_t size = offset + static_cast<uint32_t>(layout.pixels.size());
    std::vector<uint8_t> out = {'B', 'M'};
    const uint32_t width = static_cast<uint32_t>(layout.width);
    const uint32_t height = static_cast<uint32_t>(layout.height);
    const uint32_t colours = static_cast<uint32_t>(layout.palette.size());
    // File size, reserved, pixel offset, header size, width, height, planes and bit count,
    // compression, image size, resolution, colours used and important.
    for (uint32_t field :
         {layout.fileSizeField.value_or(size), 0u, layout.offsetField.value_or(offset), 40u, width,
          height, 1u | static_cast<uint32_t>(layout.bitCount) << 16, layout.compression, 0u, 2835u,
          2835u, colours, 0u}) {
        Put32(out, field);
    }
    for (uint32_t mask : layout.masks) {
        Put32(out, mask);
    }
    for (uint32_t colour : layout.palette) {
        Put32(out, colour & 0xFFFFFF);  // 0xRRGGBB little-endian is blue, green, red, 0
    }
    out.resize(out.size() + layout.gap, 0xEE);
    out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
    return out;
}

/// A 24-bit bottom-up picture whose pixel (x, y), y counted from the top, has colourOf(x, y)
/// (0xRRGGBB).
template <typename ColourOf>
BmpLayout Bmp24(int width, int height, ColourOf colourOf) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    const int stride = (width * 3 + 3) & ~3;
    layout.pixels.assign(static_cast<std::size_t>(stride) * height, 0);
    for (int stored = 0; stored < height; ++stored) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colourOf(x, height - 1 - stored);
            uint8_t* p = &layout.pixels[static_cast<std::size_t>(stored) * stride + x * 3];
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    }
    return layout;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

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

/// An archive extractor serving fixed members from memory, for ordering tests.
class FakeArchivePlugin : public Plugin {
  public:
    /// listings, when given, counts the times the archive is listed.
    explicit FakeArchivePlugin(std::string name, std::map<std::string, std::string> members = {},
                               int* listings = nullptr)
        : name_(std::move(name)), members_(std::move(members)), listings_(listings) {}

    PluginKind GetKind() const override { return PluginKind::kArchiveExtractor; }
    const std::string& FileName() const override { return name_; }
    bool IsSupported(std::string_view, std::span<const uint8_t> head) const override {
        return head.size() >= 4 && std::equal(head.begin(), head.begin() + 4, "FAKE");
    }
    std::optional<std::vector<host::ArchiveEntry>> GetArchiveInfo(
        const host::ArchiveSource&) const override {
        if (listings_ != nullptr) {
            ++*listings_;
        }
        std::vector<host::ArchiveEntry> entries;
        int index = 0;
        for (const auto& [path, bytes] : members_) {
            entries.push_back({path, index++, static_cast<int64_t>(bytes.size()), 0});
        }
        return entries;
    }
    std::optional<std::vector<uint8_t>> GetFile(const host::ArchiveSource&,
                                                const host::ArchiveEntry& member) const override {
        const std::string& bytes = members_.at(member.path);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }

  private:
    std::string name_;
    std::map<std::string, std::string> members_;
    int* listings_;
};

}  // namespace talu::stage::testing
