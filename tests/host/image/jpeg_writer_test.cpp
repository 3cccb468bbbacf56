// Writing JPEG files for saved pictures and snapshots.
#include "host/image/jpeg_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "host/image/sdl_image_codec.h"
#include "support/file_contents.h"
#include "support/temp_folder.h"

namespace talu::host {
namespace {

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

TEST(WriteJpeg, WritesRowsFromTheTopOfABottomUpImage) {
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

TEST(WriteJpeg, FailsWithoutLeavingAFile) {
    test::TempFolder dir;
    const std::vector<std::uint8_t> rows = TwoBands(96);
    EXPECT_FALSE(WriteJpeg("/nonexistent-folder/x.jpg", JpegImage{32, 32, 96, true, rows}, 75));
    const std::filesystem::path file = dir.Path() / "bad.jpg";
    EXPECT_FALSE(WriteJpeg(file, JpegImage{32, 32, 95, true, rows}, 75));
    EXPECT_FALSE(WriteJpeg(file, JpegImage{32, 33, 96, true, rows}, 75));
    EXPECT_FALSE(WriteJpeg(file, JpegImage{0, 32, 96, true, rows}, 75));
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace talu::host
