// Our BMP reader on files built byte by byte (offsets, RLE, refusals) and on the BMP Suite: good
// files decode to the pixels of their reference renderings, bad files are refused, questionable
// files never crash.
#include "stage/bmp_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/image/sdl_image_codec.h"
#include "picture_test_support.h"
#include "pixel_test_support.h"
#include "stage/surface.h"

namespace talu::stage {
namespace {

using testing::BmpLayout;
using testing::MakeBmp;
using Bytes = std::vector<uint8_t>;
using test::ReadBytes;

const std::filesystem::path kSuite = std::filesystem::path(TALU_TESTDATA) / "bmpsuite";

// 2 x 2, 24 bits: bottom row blue, green; top row red, white.
BmpLayout FourColours() {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    return layout;
}

// One or more rows of the given depth, compression and pixel data.
BmpLayout Layout(int width, int height, int bitCount, uint32_t compression, Bytes pixels) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = bitCount;
    layout.compression = compression;
    layout.pixels = std::move(pixels);
    if (bitCount <= 8) {
        layout.palette.assign(std::size_t{1} << bitCount, 0);
    }
    return layout;
}

BmpLayout Rle8(Bytes data, int width = 4, int height = 2) {
    return Layout(width, height, 8, 1, std::move(data));
}

// Blue, green, red of pixel (x, y) counted from the bottom row.
Bytes Bgr(const Bitmap& b, int x, int y) {
    const uint8_t* p = b.bits.data() + y * b.Stride() + x * 3;
    return {p[0], p[1], p[2]};
}

// The palette indexes of row y counted from the bottom.
Bytes Indexes(const Bitmap& b, int y) {
    const auto row = b.bits.begin() + y * b.Stride();
    return Bytes(row, row + b.width);
}

std::optional<Bitmap> Read(const BmpLayout& layout) {
    return ReadBmp(MakeBmp(layout)).bitmap;
}

TEST(ReadBmp, ReportsShortFilesAndRefusesOtherSignaturesWithoutNotice) {
    Bytes bytes = MakeBmp(FourColours());
    bytes[1] = 'A';
    EXPECT_EQ(ReadBmp(bytes).failure, BmpFailure::kUnreadable);
    bytes.resize(13);
    const BmpResult result = ReadBmp(bytes);
    EXPECT_FALSE(result.bitmap);
    EXPECT_EQ(result.failure, BmpFailure::kShortFile);
    bytes.resize(14);
    EXPECT_EQ(ReadBmp(bytes).failure, BmpFailure::kUnreadable);
}

TEST(ReadBmp, ReadsPixelsFromTheirOffsetOrTheHeaderEnd) {
    BmpLayout layout = FourColours();
    auto bitmap = Read(layout);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bitCount, 24);
    EXPECT_EQ(Bgr(*bitmap, 0, 0), (Bytes{255, 0, 0}));
    EXPECT_EQ(Bgr(*bitmap, 1, 1), (Bytes{255, 255, 255}));
    // The old reader always started at the end of the headers; an offset field that points into
    // the headers or outside the file keeps that rule.
    for (uint32_t offset : {0u, 20u, 53u, 5000u}) {
        layout.offsetField = offset;
        ASSERT_TRUE(bitmap = Read(layout)) << offset;
        EXPECT_EQ(Bgr(*bitmap, 0, 0), (Bytes{255, 0, 0})) << offset;
    }
    layout.offsetField.reset();
    layout.gap = 10;
    ASSERT_TRUE(bitmap = Read(layout));
    EXPECT_EQ(Bgr(*bitmap, 0, 0), (Bytes{255, 0, 0}));
}

TEST(ReadBmp, ExpandsRleRunsLiteralsAndMoves) {
    // Row 0: run of 1 x 3, literal 4 5 7 (padded), end of line; row 1: move right 2, run of
    // 1 x 6, end of bitmap.
    auto bitmap = Read(Rle8({1, 3, 0, 3, 4, 5, 7, 0, 0, 0, 0, 2, 2, 0, 1, 6, 0, 1}));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(Indexes(*bitmap, 0), (Bytes{3, 4, 5, 7}));
    EXPECT_EQ(Indexes(*bitmap, 1), (Bytes{0, 0, 6, 0}));
    // RLE4 runs alternate the nibbles of their byte, high first.
    ASSERT_TRUE(bitmap = Read(Layout(6, 1, 4, 2, {3, 0x12, 0, 3, 0x45, 0x60, 0, 1})));
    EXPECT_EQ(Indexes(*bitmap, 0), (Bytes{1, 2, 1, 4, 5, 6}));
}

// Limits and faults the BMP Suite's bad files leave out.
TEST(ReadBmp, RefusesDamagedFilesAndAcceptsTheirLimits) {
    auto four = [](void (*change)(BmpLayout&)) {
        BmpLayout layout = FourColours();
        change(layout);
        return layout;
    };
    auto wide = [](int width) {
        return Layout(width, 1, 24, 0, Bytes(static_cast<std::size_t>(width * 3 + 3) & ~3u));
    };
    auto fields = [](std::vector<uint32_t> masks) {
        BmpLayout layout = Layout(2, 1, 16, 3, {0, 0, 0, 0});
        layout.masks = std::move(masks);
        return layout;
    };
    const std::pair<BmpLayout, const char*> refused[] = {
        {four([](BmpLayout& l) { l.fileSizeField = 71; }), "size field beyond the file"},
        {wide(kMaxBmpSide + 1), "too wide"},
        {wide(0), "no width"},
        {fields({0xF800, 0x0FE0, 0x001F}), "overlapping channels"},
        {fields({0xF800, 0x07A0, 0x001F}), "a channel with a hole"},
        {fields({0x1F0000, 0x07E0, 0x001F}), "a channel outside 16 bits"},
        {Rle8({5, 1, 0, 1}), "run past the row"},
        {Rle8({0, 5, 1, 2, 3, 4, 5, 0}), "literal past the row"},
        {Rle8({0, 2, 5, 0, 0, 1}), "move past the row"},
        {Rle8({0, 0, 0, 0, 1, 1, 0, 1}), "row past the top"},
        {Rle8({0, 4, 1, 2}), "literal cut short"},
        {Rle8({0, 1}, kMaxBmpSide, kMaxBmpSide), "more pixels than the data could hold"},
        // The size field matches these files; only their rows are short.
        {Layout(4, 3, 24, 0, Bytes(24)), "rows for two of three lines"},
        {Layout(4, 3, 24, 0, Bytes(35)), "the last row a byte short"},
    };
    for (const auto& [layout, fault] : refused) {
        EXPECT_FALSE(Read(layout)) << fault;
    }
    for (const BmpLayout& layout :
         {four([](BmpLayout& l) { l.fileSizeField = 70; }),
          four([](BmpLayout& l) { l.fileSizeField = 0; }),  // too small: the real size counts
          wide(kMaxBmpSide)}) {
        EXPECT_TRUE(Read(layout)) << layout.width;
    }
}

// Every prefix of real files: refused or decoded, never a read outside the buffer.
TEST(ReadBmp, SurvivesEveryTruncation) {
    for (const char* name :
         {"pal8rle.bmp", "pal4rle.bmp", "rgb16-565.bmp", "pal8os2.bmp", "pal8v5.bmp"}) {
        const Bytes whole = ReadBytes(kSuite / "g" / name);
        ASSERT_TRUE(ReadBmp(whole).bitmap) << name;
        for (std::size_t size = 0; size < whole.size(); size += 7) {
            const auto bitmap = ReadBmp(Bytes(whole.begin(), whole.begin() + size)).bitmap;
            if (bitmap) {
                EXPECT_EQ(bitmap->bits.size(),
                          static_cast<std::size_t>(bitmap->Stride()) * bitmap->height);
            }
        }
    }
}

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
