// Our BMP reader on files built byte by byte: header forms, bit depths, RLE, and refusals.
#include "stage/bmp_reader.h"

#include <gtest/gtest.h>

#include "picture_test_support.h"

namespace talu::stage {
namespace {

using testing::BmpLayout;
using testing::MakeBmp;

// 2 x 2, 24 bits: bottom row blue, green; top row red, white.
BmpLayout FourColours() {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    return layout;
}

// Blue, green, red of pixel (x, y) counted from the bottom row.
std::vector<uint8_t> Bgr(const Bitmap& b, int x, int y) {
    const uint8_t* p = b.bits.data() + y * b.Stride() + x * 3;
    return {p[0], p[1], p[2]};
}

uint8_t Index(const Bitmap& b, int x, int y) {
    return b.bits[y * b.Stride() + x];
}

TEST(ReadBmp, ReportsFilesShorterThanTheFileHeader) {
    std::vector<uint8_t> bytes = MakeBmp(FourColours());
    bytes.resize(13);
    BmpResult result = ReadBmp(bytes);
    EXPECT_FALSE(result.bitmap);
    EXPECT_EQ(result.failure, BmpFailure::kShortFile);
    bytes.resize(14);
    EXPECT_EQ(ReadBmp(bytes).failure, BmpFailure::kUnreadable);
}

TEST(ReadBmp, RefusesOtherSignaturesWithoutNotice) {
    std::vector<uint8_t> bytes = MakeBmp(FourColours());
    bytes[1] = 'A';
    BmpResult result = ReadBmp(bytes);
    EXPECT_FALSE(result.bitmap);
    EXPECT_EQ(result.failure, BmpFailure::kUnreadable);
}

TEST(ReadBmp, ReadsTwentyFourBitRowsBottomUp) {
    auto bitmap = ReadBmp(MakeBmp(FourColours())).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bitCount, 24);
    EXPECT_EQ(Bgr(*bitmap, 0, 0), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(Bgr(*bitmap, 1, 1), (std::vector<uint8_t>{255, 255, 255}));
}

TEST(ReadBmp, TurnsTopDownRowsIntoBottomUpOnes) {
    BmpLayout layout = FourColours();
    layout.height = -2;
    auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->height, 2);
    // The first stored row is now the top one.
    EXPECT_EQ(Bgr(*bitmap, 0, 1), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(Bgr(*bitmap, 0, 0), (std::vector<uint8_t>{0, 0, 255}));
}

TEST(ReadBmp, HonoursAPixelOffsetBehindTheHeaders) {
    BmpLayout layout = FourColours();
    layout.gap = 10;
    auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(Bgr(*bitmap, 0, 0), (std::vector<uint8_t>{255, 0, 0}));
}

// The old reader always started at the end of the headers; an offset field that points into
// the headers or outside the file keeps that rule.
TEST(ReadBmp, ReadsFromTheHeaderEndWhenTheOffsetFieldIsImpossible) {
    for (uint32_t offset : {0u, 20u, 53u, 5000u}) {
        BmpLayout layout = FourColours();
        layout.offsetField = offset;
        auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
        ASSERT_TRUE(bitmap) << offset;
        EXPECT_EQ(Bgr(*bitmap, 0, 0), (std::vector<uint8_t>{255, 0, 0})) << offset;
    }
}

TEST(ReadBmp, RefusesAFileSizeFieldBeyondTheRealSize) {
    BmpLayout layout = FourColours();
    layout.fileSizeField = 71;
    EXPECT_FALSE(ReadBmp(MakeBmp(layout)).bitmap);
    layout.fileSizeField = 70;
    EXPECT_TRUE(ReadBmp(MakeBmp(layout)).bitmap);
    layout.fileSizeField = 0;  // too small is harmless: the real size counts
    EXPECT_TRUE(ReadBmp(MakeBmp(layout)).bitmap);
}

TEST(ReadBmp, RefusesPixelDataShorterThanTheRows) {
    BmpLayout layout = FourColours();
    layout.pixels.resize(15);
    EXPECT_FALSE(ReadBmp(MakeBmp(layout)).bitmap);
}

TEST(ReadBmp, RefusesAbsurdSizes) {
    BmpLayout layout;
    layout.width = kMaxBmpSide + 1;
    layout.pixels.assign((layout.width * 3 + 3) & ~3, 0);
    EXPECT_FALSE(ReadBmp(MakeBmp(layout)).bitmap);
    layout.width = kMaxBmpSide;
    EXPECT_TRUE(ReadBmp(MakeBmp(layout)).bitmap);
    layout.width = 0;
    EXPECT_FALSE(ReadBmp(MakeBmp(layout)).bitmap);
}

TEST(ReadBmp, UnpacksOneBitRowsMostSignificantBitFirst) {
    BmpLayout layout;
    layout.width = 9;
    layout.bitCount = 1;
    layout.palette = {0x000000, 0xFFFFFF};
    layout.pixels = {0b10100000, 0b10000000, 0, 0};
    auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bitCount, 8);
    const std::vector<uint8_t> expected = {1, 0, 1, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(Index(*bitmap, x, 0), expected[x]) << x;
    }
}

TEST(ReadBmp, ReadsTheLastPixelOfAnOddFourBitRowFromAHighNibble) {
    BmpLayout layout;
    layout.width = 3;
    layout.bitCount = 4;
    layout.palette.assign(16, 0);
    layout.pixels = {0x12, 0x3F, 0, 0};
    auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(Index(*bitmap, 0, 0), 1);
    EXPECT_EQ(Index(*bitmap, 1, 0), 2);
    EXPECT_EQ(Index(*bitmap, 2, 0), 3);
}

TEST(ReadBmp, UsesTheFullPaletteWhenColoursUsedIsZero) {
    BmpLayout layout;
    layout.width = 1;
    layout.bitCount = 4;
    layout.palette.assign(16, 0x102030);
    layout.pixels = {0xF0, 0, 0, 0};
    std::vector<uint8_t> bytes = MakeBmp(layout);
    bytes[46] = 0;  // colours used
    auto bitmap = ReadBmp(bytes).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->PaletteCount(), 16);
    EXPECT_EQ(bitmap->palette[15 * 4 + 2], 0x10);
}

TEST(ReadBmp, RefusesIndexesOutsideThePalette) {
    BmpLayout layout;
    layout.width = 2;
    layout.bitCount = 8;
    layout.palette = {0x000000, 0xFFFFFF};
    layout.pixels = {1, 2, 0, 0};
    EXPECT_FALSE(ReadBmp(MakeBmp(layout)).bitmap);
    layout.pixels = {1, 0, 0, 0};
    EXPECT_TRUE(ReadBmp(MakeBmp(layout)).bitmap);
}

TEST(ReadBmp, ScalesBitFieldChannelsToEightBits) {
    BmpLayout layout;
    layout.width = 2;
    layout.bitCount = 16;
    layout.compression = 3;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    layout.pixels = {0x1F, 0xF8, 0x10, 0x04};  // (31, 0, 31) and (0, 32, 16)
    auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(Bgr(*bitmap, 0, 0), (std::vector<uint8_t>{255, 0, 255}));
    EXPECT_EQ(Bgr(*bitmap, 1, 0), (std::vector<uint8_t>{132, 130, 0}));
}

TEST(ReadBmp, RefusesBrokenBitFieldMasks) {
    BmpLayout layout;
    layout.width = 2;
    layout.bitCount = 16;
    layout.compression = 3;
    layout.pixels = {0, 0, 0, 0};
    for (const auto& masks : std::vector<std::vector<uint32_t>>{
             {0xF800, 0x07E0, 0},            // a missing channel
             {0xF800, 0x0FE0, 0x001F},       // overlapping channels
             {0xF800, 0x07A0, 0x001F},       // a channel with a hole
             {0x1F0000, 0x07E0, 0x001F}}) {  // a channel outside 16 bits
        layout.masks = masks;
        EXPECT_FALSE(ReadBmp(MakeBmp(layout)).bitmap) << std::hex << masks[0] << " " << masks[1];
    }
}

TEST(ReadBmp, ReadsThirtyTwoBitPixelsWithDefaultMasks) {
    BmpLayout layout;
    layout.bitCount = 32;
    layout.pixels = {10, 20, 30, 99};
    auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->bitCount, 24);
    EXPECT_EQ(Bgr(*bitmap, 0, 0), (std::vector<uint8_t>{10, 20, 30}));
}

BmpLayout Rle8(std::vector<uint8_t> data, int width = 4, int height = 2) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = 8;
    layout.compression = 1;
    layout.palette.assign(8, 0);
    layout.pixels = std::move(data);
    return layout;
}

TEST(ReadBmp, ExpandsRle8RunsLiteralsAndMoves) {
    // Row 0: run of 1 x 3, literal 4 5 7 (padded), end of line; row 1: move right 2, run of
    // 1 x 6, end of bitmap.
    auto bitmap =
        ReadBmp(MakeBmp(Rle8({1, 3, 0, 3, 4, 5, 7, 0, 0, 0, 0, 2, 2, 0, 1, 6, 0, 1}))).bitmap;
    ASSERT_TRUE(bitmap);
    const std::vector<uint8_t> bottom = {3, 4, 5, 7};
    const std::vector<uint8_t> top = {0, 0, 6, 0};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(Index(*bitmap, x, 0), bottom[x]) << x;
        EXPECT_EQ(Index(*bitmap, x, 1), top[x]) << x;
    }
}

TEST(ReadBmp, ExpandsRle4NibblesHighFirst) {
    BmpLayout layout = Rle8({3, 0x12, 0, 3, 0x45, 0x60, 0, 1}, 6, 1);
    layout.bitCount = 4;
    layout.compression = 2;
    auto bitmap = ReadBmp(MakeBmp(layout)).bitmap;
    ASSERT_TRUE(bitmap);
    const std::vector<uint8_t> expected = {1, 2, 1, 4, 5, 6};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(Index(*bitmap, x, 0), expected[x]) << x;
    }
}

TEST(ReadBmp, RefusesRleThatWritesOutsideThePicture) {
    EXPECT_FALSE(ReadBmp(MakeBmp(Rle8({5, 1, 0, 1}))).bitmap);              // run past the row
    EXPECT_FALSE(ReadBmp(MakeBmp(Rle8({0, 5, 1, 2, 3, 4, 5, 0}))).bitmap);  // literal past it
    EXPECT_FALSE(ReadBmp(MakeBmp(Rle8({0, 2, 5, 0, 0, 1}))).bitmap);        // move past it
    EXPECT_FALSE(ReadBmp(MakeBmp(Rle8({0, 0, 0, 0, 1, 1, 0, 1}))).bitmap);  // row past the top
    EXPECT_FALSE(ReadBmp(MakeBmp(Rle8({0, 4, 1, 2}))).bitmap);              // literal cut short
}

TEST(ReadBmp, RefusesRleClaimingMorePixelsThanItsDataCouldHold) {
    EXPECT_FALSE(ReadBmp(MakeBmp(Rle8({0, 1}, kMaxBmpSide, kMaxBmpSide))).bitmap);
}

TEST(ReadBmp, RefusesTopDownRle) {
    EXPECT_FALSE(ReadBmp(MakeBmp(Rle8({0, 1}, 4, -2))).bitmap);
}

// Every prefix of real files: refused or decoded, never a read outside the buffer.
TEST(ReadBmp, SurvivesEveryTruncation) {
    const std::filesystem::path suite = std::filesystem::path(TALU_TESTDATA) / "bmpsuite/g";
    for (const char* name :
         {"pal8rle.bmp", "pal4rle.bmp", "rgb16-565.bmp", "pal8os2.bmp", "pal8v5.bmp"}) {
        const std::vector<uint8_t> whole = testing::ReadFile(suite / name);
        ASSERT_TRUE(ReadBmp(whole).bitmap) << name;
        for (std::size_t size = 0; size < whole.size(); size += 7) {
            std::vector<uint8_t> cut(whole.begin(), whole.begin() + size);
            BmpResult result = ReadBmp(cut);
            if (result.bitmap) {
                EXPECT_EQ(
                    result.bitmap->bits.size(),
                    static_cast<std::size_t>(result.bitmap->Stride()) * result.bitmap->height);
            }
        }
    }
}

}  // namespace
}  // namespace talu::stage
