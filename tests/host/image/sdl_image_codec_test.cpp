// Decoding the formats books bind to plug-ins, writing PNG for tools and JPEG for saved
// pictures and snapshots.
#include "host/image/sdl_image_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "host/image/jpeg_writer.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::host {
namespace {

const std::filesystem::path kSuite = std::filesystem::path(TALU_TESTDATA) / "bmpsuite";

// The rows a decoder gives (bottom-up blue, green, red, like a bitmap) are checked against the
// BMP Suite's own files by its reference renderings.
TEST(DecodeImage, RefusesBrokenAndOversizedInputCleanly) {
    std::vector<std::uint8_t> png = test::ReadBytes(kSuite / "ref/rgb24.png");
    ASSERT_GE(png.size(), 100u) << "the shared test data is missing";
    EXPECT_FALSE(DecodeImage(png, {.extension = "PNG", .maxSide = 126}));
    EXPECT_TRUE(DecodeImage(png, {.extension = "PNG", .maxSide = 127}));
    EXPECT_FALSE(DecodeImage({}, {.extension = "PNG"}));
    for (std::size_t size : {8, 33, 100}) {
        std::vector<std::uint8_t> cut(png.begin(), png.begin() + size);
        EXPECT_FALSE(DecodeImage(cut, {.extension = "PNG"})) << size;
    }
    const std::vector<std::uint8_t> noise(500, 0x5A);
    EXPECT_FALSE(DecodeImage(noise, {.extension = "PNG"}));
}

void PutChunk(std::vector<std::uint8_t>& png, const char* type,
              const std::vector<std::uint8_t>& data) {
    auto put32 = [&png](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            png.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    };
    put32(static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(static_cast<std::uint32_t>(crc32(0, png.data() + start, png.size() - start)));
}

// A valid, black, one-bit grey PNG of the given size: a few kilobytes of deflated rows that a
// decoder would turn into gigabytes.
std::vector<std::uint8_t> BlackPng(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    for (std::uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    header.insert(header.end(), {1, 0, 0, 0, 0});  // 1 bit, grey, deflate, no filter, plain
    PutChunk(png, "IHDR", header);
    const std::vector<std::uint8_t> raw(static_cast<std::size_t>(height) * (1 + (width + 7) / 8),
                                        0);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    EXPECT_EQ(compress2(packed.data(), &packedSize, raw.data(), raw.size(), 9), Z_OK);
    packed.resize(packedSize);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

// Sizes come from the header, so a picture too large is refused before a pixel is decoded.
TEST(DecodeImage, RefusesPicturesOfTooManyPixelsFromTheirHeader) {
    const std::vector<std::uint8_t> huge = BlackPng(16000, 16000);
    EXPECT_LT(huge.size(), 1u << 20);
    EXPECT_FALSE(DecodeImage(huge, {.extension = "PNG"}));
    // A JPEG whose frame header claims the same.
    const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xC0, 0, 17,   8,   0x3E,
                                            0x80, 0x3E, 0x80, 3,    1, 0x11, 0,   2,
                                            0x11, 1,    3,    0x11, 1, 0xFF, 0xD9};
    EXPECT_FALSE(DecodeImage(jpeg, {.extension = "JPG"}));
    const std::vector<std::uint8_t> small = BlackPng(300, 200);
    EXPECT_FALSE(DecodeImage(small, {.extension = "PNG", .maxPixels = 59999}));
    auto image = DecodeImage(small, {.extension = "PNG", .maxPixels = 60000});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 300);
    EXPECT_EQ(image->height, 200);
}

// TGA files carry no signature: only the extension lets the decoder try them.
TEST(DecodeImage, ReadsSignaturelessFormatsByTheirExtension) {
    std::vector<std::uint8_t> tga(18, 0);
    tga[2] = 2;   // uncompressed true colour
    tga[12] = 2;  // width 2
    tga[14] = 1;  // height 1
    tga[16] = 24;
    tga[17] = 0x20;                                        // top-left origin
    const std::uint8_t pixels[] = {0, 0, 255, 255, 0, 0};  // red, then blue (stored B, G, R)
    tga.insert(tga.end(), std::begin(pixels), std::end(pixels));
    auto image = DecodeImage(tga, {.extension = "TGA"});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 2);
    EXPECT_EQ(image->rows[2], 255);  // first pixel's red
    EXPECT_EQ(image->rows[3], 255);  // second pixel's blue
    EXPECT_FALSE(DecodeImage(tga, {.extension = "XYZ"}));
    for (const char* extension : {"PNG", "JPG", "JPEG", "GIF", "TGA", "PCX"}) {
        EXPECT_TRUE(CanDecodeExtension(extension)) << extension;
    }
    for (const char* extension : {"png", "XYZ", ""}) {  // extensions come in upper case
        EXPECT_FALSE(CanDecodeExtension(extension)) << extension;
    }
}

// Our header check or the extension picks the decoder, never the decoder library's own guess: a
// drawing named .png, or JPEG bytes that mention "<svg", never reach the SVG reader (which
// leaked on such bytes), while a misnamed PNG still opens as the old plug-ins opened it.
TEST(DecodeImage, TheHeaderOrTheExtensionPicksTheDecoder) {
    const std::string svgText =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">"
        "<rect width=\"4\" height=\"4\" fill=\"red\"/></svg>";
    const std::vector<std::uint8_t> svg(svgText.begin(), svgText.end());
    EXPECT_TRUE(DecodeImage(svg, {.extension = "SVG"}));
    EXPECT_FALSE(DecodeImage(svg, {.extension = "PNG"}));
    EXPECT_FALSE(DecodeImage(svg, {}));
    std::vector<std::uint8_t> jpegSvg = {0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFC};
    jpegSvg.insert(jpegSvg.end(), svg.begin(), svg.end());
    EXPECT_FALSE(DecodeImage(jpegSvg, {}));
    EXPECT_FALSE(DecodeImage(jpegSvg, {.extension = "SVG"}));
    EXPECT_TRUE(DecodeImage(test::ReadBytes(kSuite / "ref/rgb24.png"), {.extension = "JPG"}));
}

// EncodePng makes what WritePng writes: this round trip checks both.
TEST(WritePng, RoundTripsColourAndAlphaAndFailsCleanly) {
    test::TempFolder dir;
    RgbaImage image{3, 2, {}};
    for (int i = 0; i < 6; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 40);
        image.pixels.insert(image.pixels.end(), {v, static_cast<std::uint8_t>(255 - v), 7,
                                                 static_cast<std::uint8_t>(i == 4 ? 0 : 255)});
    }
    const std::filesystem::path file = dir.Path() / "out.png";
    ASSERT_TRUE(WritePng(file, image));
    auto back = DecodeImage(test::ReadBytes(file), {.extension = "PNG", .keepAlpha = true});
    ASSERT_TRUE(back);
    ASSERT_EQ(back->width, 3);
    ASSERT_EQ(back->height, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t* in = &image.pixels[(y * 3 + x) * 4];
            const std::uint8_t* out = &back->rows[(1 - y) * back->stride + x * 4];
            EXPECT_EQ(out[0], in[2]);
            EXPECT_EQ(out[1], in[1]);
            EXPECT_EQ(out[2], in[0]);
            EXPECT_EQ(out[3], in[3]);
        }
    }
    // Missing folders and inconsistent images fail without leaving a file.
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", image));
    const std::filesystem::path wrong = dir.Path() / "wrong.png";
    EXPECT_FALSE(WritePng(wrong, RgbaImage{2, 2, {1, 2, 3, 4}}));
    EXPECT_FALSE(WritePng(wrong, RgbaImage{}));
    EXPECT_FALSE(std::filesystem::exists(wrong));
}

// 32 x 32: the top half red, the bottom half blue, stored bottom-up as red, green, blue.
std::vector<std::uint8_t> TwoBands(int stride) {
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * 32, 0);
    for (int stored = 0; stored < 32; ++stored) {
        const bool top = stored >= 16;
        for (int x = 0; x < 32; ++x) {
            rows[stored * stride + x * 3] = top ? 255 : 0;
            rows[stored * stride + x * 3 + 2] = top ? 0 : 255;
        }
    }
    return rows;
}

TEST(WriteJpeg, WritesRowsFromTheTopOfABottomUpImageOrFailsWithoutAFile) {
    test::TempFolder dir;
    const std::vector<std::uint8_t> rows = TwoBands(100);
    const JpegImage image{32, 32, 100, true, rows};
    const std::filesystem::path file = dir.Path() / "bands.jpg";
    ASSERT_TRUE(WriteJpeg(file, image, 95));
    auto decoded = DecodeImage(test::ReadBytes(file), {.extension = "JPG"});
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->width, 32);
    ASSERT_EQ(decoded->height, 32);
    // Decoded rows are bottom-up blue, green, red: the last stored row is the top one.
    const std::uint8_t* topLeft = &decoded->rows[31 * decoded->stride];
    const std::uint8_t* bottomLeft = &decoded->rows[0];
    EXPECT_GT(topLeft[2], 200);
    EXPECT_LT(topLeft[0], 60);
    EXPECT_GT(bottomLeft[0], 200);
    EXPECT_LT(bottomLeft[2], 60);
    // A missing folder and images whose rows do not hold them fail without leaving a file.
    EXPECT_FALSE(WriteJpeg("/nonexistent-folder/x.jpg", image, 75));
    const std::filesystem::path bad = dir.Path() / "bad.jpg";
    EXPECT_FALSE(WriteJpeg(bad, JpegImage{32, 32, 95, true, rows}, 75));
    EXPECT_FALSE(WriteJpeg(bad, JpegImage{32, 33, 100, true, rows}, 75));
    EXPECT_FALSE(WriteJpeg(bad, JpegImage{0, 32, 100, true, rows}, 75));
    EXPECT_FALSE(std::filesystem::exists(bad));
}

TEST(WriteJpeg, PassesQualityToTheLibrary) {
    test::TempFolder dir;
    std::vector<std::uint8_t> rows(64 * 64 * 3);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<std::uint8_t>((i * 7919) % 251);
    }
    const JpegImage image{64, 64, 64 * 3, false, rows};
    const std::filesystem::path low = dir.Path() / "q0.jpg";
    const std::filesystem::path high = dir.Path() / "q100.jpg";
    ASSERT_TRUE(WriteJpeg(low, image, 0));
    ASSERT_TRUE(WriteJpeg(high, image, 100));
    EXPECT_LT(std::filesystem::file_size(low) * 3, std::filesystem::file_size(high));
}

}  // namespace
}  // namespace talu::host
