// Our BMP reader on files built byte by byte: offsets, RLE, and refusals. The BMP Suite
// (bmp_suite_test.cpp) checks the header forms and bit depths against reference renderings.
#include "stage/bmp_reader.h"

#include <gtest/gtest.h>

#include "picture_test_support.h"

namespace talu::stage {
namespace {

using testing::BmpLayout;
using testing::MakeBmp;
using Bytes = std::vector<uint8_t>;

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
    const std::filesystem::path suite = std::filesystem::path(TALU_TESTDATA) / "bmpsuite/g";
    for (const char* name :
         {"pal8rle.bmp", "pal4rle.bmp", "rgb16-565.bmp", "pal8os2.bmp", "pal8v5.bmp"}) {
        const Bytes whole = test::ReadBytes(suite / name);
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

}  // namespace
}  // namespace talu::stage
