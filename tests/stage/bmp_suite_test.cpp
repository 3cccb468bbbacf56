// The BMP Suite: good files decode to the pixels of their reference renderings, bad files are
// refused, questionable files never crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/image/sdl_image_codec.h"
#include "picture_test_support.h"
#include "pixel_test_support.h"
#include "stage/bmp_reader.h"
#include "stage/surface.h"

namespace talu::stage {
namespace {

using test::ReadBytes;

const std::filesystem::path kSuite = std::filesystem::path(TALU_TESTDATA) / "bmpsuite";

struct SuiteEntry {
    std::string bmp;
    std::string reference;
};

std::vector<std::filesystem::path> FilesIn(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(kSuite / folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every good file with its reference: from the map, else the suite's exact rendering
// ("NAME-e.png", kept for pictures whose display rendering is stretched).
std::vector<SuiteEntry> GoodEntries() {
    std::map<std::string, std::string> mapped;
    std::ifstream map(kSuite / "refmap.tsv");
    std::string bmp;
    std::string reference;
    while (map >> bmp >> reference) {
        mapped[bmp] = reference;
    }
    std::vector<SuiteEntry> entries;
    for (const auto& path : FilesIn("g")) {
        std::string name = "g/" + path.filename().string();
        auto found = mapped.find(name);
        entries.push_back(
            {name, found != mapped.end() ? found->second : path.stem().string() + "-e.png"});
    }
    return entries;
}

// Both pictures as surfaces of one format, so that they compare at the display's precision.
void ExpectSamePixels(const SuiteEntry& entry, const PixelFormat& format) {
    std::vector<uint8_t> file = ReadBytes(kSuite / entry.bmp);
    BmpResult read = ReadBmp(file);
    ASSERT_TRUE(read.bitmap) << entry.bmp;
    std::vector<uint8_t> png = ReadBytes(kSuite / "ref" / entry.reference);
    std::optional<host::DecodedImage> reference = host::DecodeImage(png, {.extension = "PNG"});
    ASSERT_TRUE(reference) << entry.reference;

    Surface actual;
    ASSERT_TRUE(actual.FromDib(read.bitmap->View(), format));
    Surface expected;
    DibView view{reference->width,       reference->height,     24, nullptr, 0,
                 reference->rows.data(), reference->rows.size()};
    ASSERT_TRUE(expected.FromDib(view, format));
    ASSERT_EQ(actual.Bounds(), expected.Bounds()) << entry.bmp;
    EXPECT_TRUE(testing::SameRect(actual, expected, actual.Bounds())) << entry.bmp;
}

TEST(BmpSuite, GoodFilesMatchTheirReferenceInBothLayouts) {
    const std::vector<SuiteEntry> entries = GoodEntries();
    ASSERT_EQ(entries.size(), 27u);
    for (const PixelFormat& format : {PixelFormat::Rgb565(), PixelFormat::Rgb555()}) {
        for (const SuiteEntry& entry : entries) {
            ExpectSamePixels(entry, format);
        }
    }
}

TEST(BmpSuite, BadFilesAreRefused) {
    std::vector<std::filesystem::path> files = FilesIn("b");
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        EXPECT_FALSE(ReadBmp(ReadBytes(path)).bitmap) << path.filename();
    }
}

// Whatever the verdict, a decoded questionable file is a consistent bitmap.
TEST(BmpSuite, QuestionableFilesDecodeConsistentlyOrNotAtAll) {
    for (const auto& path : FilesIn("q")) {
        BmpResult read = ReadBmp(ReadBytes(path));
        if (!read.bitmap) {
            continue;
        }
        const Bitmap& bitmap = *read.bitmap;
        EXPECT_EQ(bitmap.bits.size(), static_cast<std::size_t>(bitmap.Stride()) * bitmap.height)
            << path.filename();
        Surface surface;
        EXPECT_TRUE(surface.FromDib(bitmap.View(), PixelFormat::Rgb565())) << path.filename();
    }
}

}  // namespace
}  // namespace talu::stage
