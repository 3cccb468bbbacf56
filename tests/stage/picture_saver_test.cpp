// SavePicture: file naming, size rules, BMP and JPEG output.
#include "stage/picture_saver.h"

#include <gtest/gtest.h>

#include "host/image/sdl_image_codec.h"
#include "picture_test_support.h"

namespace talu::stage {
namespace {

using test::ReadBytes;
namespace fs = std::filesystem;

// Engine colours keep red in the low byte.
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;

class SavingPictures : public ::testing::Test {
  protected:
    SavingPictures() {
        surface_.Create(64, 48, PixelFormat::Rgb565());
        surface_.Fill(kBlue);
        surface_.FillRect(Rect{0, 0, 32, 24}, kGreen);
        request_.bookFolder = folder_.InsideFolder();
    }

    test::TempFolder folder_;
    Surface surface_;
    SaveRequest request_;
};

TEST(SavedPictureName, FollowsTheFolderAndFileNameRules) {
    SaveRequest request;
    request.fileName = "shot.bmp";
    EXPECT_EQ(SavedPictureName("Z:\\b\\img\\Face.bmp", request), "shot.bmp");
    request.folder = "Z:\\out\\";
    EXPECT_EQ(SavedPictureName("Z:\\b\\img\\Face.bmp", request), "Z:\\out\\shot.bmp");
    request.fileName.clear();
    EXPECT_EQ(SavedPictureName("Z:\\b\\img\\Face.bmp", request), "Z:\\out\\Face.BMP");
    request.format = PictureFileFormat::kJpeg;
    EXPECT_EQ(SavedPictureName("face.x.png", request), "Z:\\out\\face.x.JPG");
    // No separator is inserted between the folder and the title.
    request.folder = "Z:\\out";
    EXPECT_EQ(SavedPictureName("img/face.bmp", request), "Z:\\outface.JPG");
}

TEST_F(SavingPictures, ReplacesAnExistingFileWhateverItsCaseWithTheSurfaceItself) {
    testing::WriteFile(folder_.Path() / "Shot.BMP", {1, 2, 3});
    request_.fileName = "shot.bmp";
    ASSERT_TRUE(SavePicture(surface_, "bg.bmp", request_));
    EXPECT_EQ(ReadBytes(folder_.Path() / "Shot.BMP"), surface_.EncodeBmp());
    EXPECT_FALSE(fs::exists(folder_.Path() / "shot.bmp"));
}

// A link in the book's folder is replaced: the file it leads to is not the book's to write.
TEST_F(SavingPictures, ReplacesALinkAndLeavesWhatItLeadsTo) {
    test::TempFolder elsewhere;
    const fs::path target = elsewhere.Write("story.txt", "text");
    fs::create_symlink(target, folder_.Path() / "shot.bmp");
    request_.fileName = "shot.bmp";
    ASSERT_TRUE(SavePicture(surface_, "bg.bmp", request_));
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'t', 'e', 'x', 't'}));
    EXPECT_FALSE(fs::is_symlink(folder_.Path() / "shot.bmp"));
}

TEST_F(SavingPictures, KeepsProportionsWhenOnlyOneSideIsGiven) {
    request_.fileName = "s.bmp";
    auto savedSize = [&](int width, int height) {
        request_.width = width;
        request_.height = height;
        EXPECT_TRUE(SavePicture(surface_, "bg.bmp", request_));
        const std::vector<uint8_t> bmp = ReadBytes(folder_.Path() / "s.bmp");
        return bmp.size() > 30 ? std::pair<int, int>{bmp[18], bmp[22]} : std::pair<int, int>{};
    };
    EXPECT_EQ(savedSize(32, kSizeNotGiven), (std::pair<int, int>{32, 24}));
    EXPECT_EQ(savedSize(kSizeNotGiven, 12), (std::pair<int, int>{16, 12}));
}

TEST_F(SavingPictures, WritesScaledJpegUnderTheSourceTitle) {
    fs::create_directory(folder_.Path() / "Snaps");
    request_.folder = folder_.InsideFolder() + "snaps\\";
    request_.width = 32;
    request_.format = PictureFileFormat::kJpeg;
    request_.jpegQuality = 90;
    ASSERT_TRUE(SavePicture(surface_, "chara\\Girl.bmp", request_));
    auto image =
        host::DecodeImage(ReadBytes(folder_.Path() / "Snaps" / "Girl.JPG"), {.extension = "JPG"});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 24);
    // Top-left is green, bottom-right blue (rows are bottom-up blue, green, red).
    const uint8_t* topLeft = &image->rows[23 * image->stride];
    EXPECT_GT(topLeft[1], 200);
    EXPECT_LT(topLeft[0], 60);
    EXPECT_GT(image->rows[31 * 3], 200);
}

TEST_F(SavingPictures, WritesNothingWhenItCannotAndNeverOverAFolder) {
    request_.fileName = "missing\\shot.bmp";
    EXPECT_FALSE(SavePicture(surface_, "bg.bmp", request_));
    request_.fileName = "zero.bmp";
    request_.width = 0;
    EXPECT_FALSE(SavePicture(surface_, "bg.bmp", request_));
    request_.width = kSizeNotGiven;
    EXPECT_FALSE(SavePicture(Surface(), "bg.bmp", request_));
    EXPECT_TRUE(fs::is_empty(folder_.Path()));
    fs::create_directory(folder_.Path() / "shot.bmp");
    request_.fileName = "SHOT.BMP";
    EXPECT_FALSE(SavePicture(surface_, "bg.bmp", request_));
    EXPECT_TRUE(fs::is_directory(folder_.Path() / "shot.bmp"));
}

}  // namespace
}  // namespace talu::stage
