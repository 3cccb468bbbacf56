// SavePicture: file naming, size rules, BMP and JPEG output.
#include "stage/picture_saver.h"

#include <gtest/gtest.h>

#include "host/image/sdl_image_codec.h"
#include "picture_test_support.h"

namespace talu::stage {
namespace {

// Engine colours keep red in the low byte.
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;

class SavingPictures : public ::testing::Test {
  protected:
    SavingPictures() {
        surface_.Create(64, 48, PixelFormat::Rgb565());
        surface_.Fill(kBlue);
        surface_.FillRect(Rect{0, 0, 32, 24}, kGreen);
        request_.bookFolder = folder_.Inside();
    }

    testing::ScratchFolder folder_;
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

TEST_F(SavingPictures, WritesTheSurfaceItselfAtItsOwnSize) {
    request_.fileName = "shot.bmp";
    ASSERT_TRUE(SavePicture(surface_, "bg.bmp", request_));
    EXPECT_EQ(testing::ReadFile(folder_.Path() / "shot.bmp"), surface_.EncodeBmp());
}

TEST_F(SavingPictures, KeepsProportionsWhenOnlyOneSideIsGiven) {
    request_.fileName = "w.bmp";
    request_.width = 32;
    ASSERT_TRUE(SavePicture(surface_, "bg.bmp", request_));
    std::vector<uint8_t> bmp = testing::ReadFile(folder_.Path() / "w.bmp");
    ASSERT_GT(bmp.size(), 30u);
    EXPECT_EQ(bmp[18], 32);
    EXPECT_EQ(bmp[22], 24);

    request_ = SaveRequest{};
    request_.height = 12;
    request_.fileName = "h.bmp";
    request_.bookFolder = folder_.Inside();
    ASSERT_TRUE(SavePicture(surface_, "bg.bmp", request_));
    bmp = testing::ReadFile(folder_.Path() / "h.bmp");
    EXPECT_EQ(bmp[18], 16);
    EXPECT_EQ(bmp[22], 12);
}

TEST_F(SavingPictures, WritesScaledJpeg) {
    request_.width = 32;
    request_.fileName = "snap.jpg";
    request_.format = PictureFileFormat::kJpeg;
    request_.jpegQuality = 90;
    ASSERT_TRUE(SavePicture(surface_, "bg.bmp", request_));
    auto image =
        host::DecodeImage(testing::ReadFile(folder_.Path() / "snap.jpg"), {.extension = "JPG"});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 24);
    // Top-left is green, bottom-right blue (rows are bottom-up blue, green, red).
    const uint8_t* topLeft = &image->rows[23 * image->stride];
    EXPECT_GT(topLeft[1], 200);
    EXPECT_LT(topLeft[0], 60);
    EXPECT_GT(image->rows[31 * 3], 200);
}

TEST_F(SavingPictures, UsesTheSourceTitleUnderAFolder) {
    std::filesystem::create_directory(folder_.Path() / "Snaps");
    request_.folder = folder_.Inside() + "snaps\\";
    ASSERT_TRUE(SavePicture(surface_, "chara\\Girl.bmp", request_));
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() / "Snaps" / "Girl.BMP"));
}

TEST_F(SavingPictures, ReplacesAnExistingFileWhateverItsCase) {
    testing::WriteFile(folder_.Path() / "Shot.BMP", {1, 2, 3});
    request_.fileName = "shot.bmp";
    ASSERT_TRUE(SavePicture(surface_, "bg.bmp", request_));
    EXPECT_EQ(testing::ReadFile(folder_.Path() / "Shot.BMP"), surface_.EncodeBmp());
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "shot.bmp"));
}

TEST_F(SavingPictures, WritesNothingWhenItCannot) {
    request_.fileName = "missing\\shot.bmp";
    EXPECT_FALSE(SavePicture(surface_, "bg.bmp", request_));
    request_.fileName = "zero.bmp";
    request_.width = 0;
    EXPECT_FALSE(SavePicture(surface_, "bg.bmp", request_));
    request_.width = kSizeNotGiven;
    EXPECT_FALSE(SavePicture(Surface(), "bg.bmp", request_));
    EXPECT_TRUE(std::filesystem::is_empty(folder_.Path()));
}

TEST_F(SavingPictures, NeverWritesOverOrRemovesAFolder) {
    std::filesystem::create_directory(folder_.Path() / "shot.bmp");
    request_.fileName = "SHOT.BMP";
    EXPECT_FALSE(SavePicture(surface_, "bg.bmp", request_));
    EXPECT_TRUE(std::filesystem::is_directory(folder_.Path() / "shot.bmp"));
}

}  // namespace
}  // namespace talu::stage
