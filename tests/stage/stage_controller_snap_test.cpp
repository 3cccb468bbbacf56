// SNAP and SavePicture: stage and character snapshots, file naming, size rules, BMP and JPEG
// output, and the book's folder as the only target.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/image/sdl_image_codec.h"
#include "picture_test_support.h"
#include "stage/picture_saver.h"
#include "stage/tag_values.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

using test::ReadBytes;
using testing::StageRig;
using testing::Tag;
namespace fs = std::filesystem;
namespace kw = script::kw;

// Engine colours keep red in the low byte.
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kRed = 0x0000FF;

class SnapTagTest : public ::testing::Test {
  protected:
    SnapTagTest() { rig.stage.Compose(0); }

    std::optional<std::string> Snap(std::vector<std::pair<int, std::string>> attributes) {
        return rig.controller->SnapTag(Tag(kw::kSnap, std::move(attributes)),
                                       rig.folder.InsideFolder(), bookFiles);
    }

    /// Host paths of the files the book has read.
    std::vector<std::string> bookFiles;

    StageRig rig;
};

TEST_F(SnapTagTest, StageSnapshotLeavesOutTheTextAndRestoresTheComposition) {
    rig.stage.Background().Fill(kBlue);
    rig.stage.TextLayer().FillRect(Rect{0, 0, 4, 4}, kRed);
    rig.stage.Compose(0);
    // Every SNAP is delivered with the book's folder as FOLDER.
    const std::string folder = rig.folder.InsideFolder();
    EXPECT_EQ(Snap({{kw::kFolder, folder}}), folder + "background.bmp");

    const uint16_t text = rig.stage.StageSurface().Row(1)[1];
    EXPECT_EQ(text, rig.stage.StageSurface().NativeColour(kRed)) << "composed as before";
    EXPECT_EQ(rig.stage.Flags(), 0u);
    EXPECT_TRUE(rig.presents.empty());
    rig.stage.Compose(compose::kNoText | compose::kNoWindow);
    EXPECT_EQ(ReadBytes(rig.folder.Path() / "background.bmp"),
              rig.stage.StageSurface().EncodeBmp());
}

TEST_F(SnapTagTest, JpegKeepsProportionsAndTakesTheQualitySetting) {
    rig.settings.m_nJpeg = 95;
    EXPECT_EQ(Snap({{kw::kMode, "jpeg"}, {kw::kWidth, "320"}, {kw::kSrc, "fine.jpg"}}), "fine.jpg");
    rig.settings.m_nJpeg = 5;
    Snap({{kw::kMode, "JPEG"}, {kw::kWidth, "320"}, {kw::kSrc, "coarse.jpg"}});
    const std::vector<uint8_t> fine = ReadBytes(rig.folder.Path() / "fine.jpg");
    const auto image = host::DecodeImage(fine, {.extension = "JPG"});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 320);
    EXPECT_EQ(image->height, 240);
    EXPECT_NE(fine, ReadBytes(rig.folder.Path() / "coarse.jpg"));
}

TEST_F(SnapTagTest, CharacterIsSavedUnderItsOwnTitleOrReportedMissing) {
    rig.Picture("Face.bmp", 20, 10, kRed);
    rig.controller->EnterTag(Tag(kw::kEnter, {{kw::kName, "a"}}));
    rig.controller->ActTag(Tag(kw::kAct, {{kw::kName, "a"}, {kw::kSrc, "Face.bmp"}}));
    fs::create_directory(rig.folder.Path() / "shots");
    const std::string folder = rig.folder.InsideFolder() + "shots\\";
    EXPECT_EQ(Snap({{kw::kName, "a"}, {kw::kFolder, folder}}), folder + "Face.BMP");
    EXPECT_EQ(ReadBytes(rig.folder.Path() / "shots" / "Face.BMP"),
              rig.stage.CharacterAt(0).EncodeBmp());

    EXPECT_EQ(Snap({{kw::kName, "nobody"}}), std::nullopt);
    ASSERT_EQ(rig.boxes.boxes.size(), 1u);
    EXPECT_THAT(rig.boxes.boxes[0], ::testing::HasSubstr("Character \"nobody\" has't enterd."));
}

TEST_F(SnapTagTest, WritesOnlyInsideTheBooksFolderTree) {
    const fs::path outside = rig.folder.Path().parent_path();
    fs::create_directory(rig.folder.Path() / "sub");
    fs::create_directory_symlink(outside, rig.folder.Path() / "link");

    EXPECT_EQ(Snap({{kw::kFolder, "sub\\..\\"}, {kw::kSrc, "ok.bmp"}}), "sub\\..\\ok.bmp");
    EXPECT_TRUE(fs::exists(rig.folder.Path() / "ok.bmp"));
    EXPECT_EQ(Snap({{kw::kFolder, "nowhere\\"}, {kw::kSrc, "x.bmp"}}), std::nullopt);
    EXPECT_TRUE(rig.boxes.boxes.empty()) << "a missing folder shows nothing";

    const std::string escape = "talu_snap_escape.bmp";
    for (const std::string& folder :
         {std::string("..\\"), host::InsidePathFromHost(outside) + "\\", std::string("link\\")}) {
        EXPECT_EQ(Snap({{kw::kFolder, folder}, {kw::kSrc, escape}}), std::nullopt) << folder;
    }
    EXPECT_FALSE(fs::exists(outside / escape));
    fs::remove(outside / escape);
    ASSERT_EQ(rig.boxes.boxes.size(), 3u);
    EXPECT_THAT(rig.boxes.boxes[0], ::testing::HasSubstr("I can't open file \"..\\" + escape));
}

TEST_F(SnapTagTest, NeverWritesOverTheBooksOwnFilesButReplacesPictures) {
    const std::vector<std::string> kept = {"book.talu", "parts/chap.inc", "save.bmk", "book.memo",
                                           "book.01.memo"};
    for (const std::string& name : kept) {
        rig.folder.Write(name, "keep");
    }
    bookFiles = {(rig.folder.Path() / "book.talu").string(),
                 (rig.folder.Path() / "parts/chap.inc").string()};
    for (const char* src : {"book.talu", "BOOK.TALU", "parts\\chap.inc", "save.bmk", "book.memo",
                            "BOOK.01.MEMO", "new.Bmk"}) {
        EXPECT_EQ(Snap({{kw::kSrc, src}}), std::nullopt) << src;
    }
    for (const std::string& name : kept) {
        EXPECT_EQ(ReadBytes(rig.folder.Path() / name), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}))
            << name;
    }
    EXPECT_FALSE(fs::exists(rig.folder.Path() / "new.Bmk"));
    ASSERT_EQ(rig.boxes.boxes.size(), 7u);
    EXPECT_THAT(rig.boxes.boxes[0], ::testing::HasSubstr("I can't open file \"book.talu\""));
}

TEST_F(SnapTagTest, ReplacesOnlyAnExistingFileThatIsAPicture) {
    // A chapter the book has not read yet, a picture in name only, a folder and a link.
    rig.folder.Write("other.talu", "<TEXT>");
    rig.folder.Write("fake.bmp", "BM but no picture");
    fs::create_directory(rig.folder.Path() / "dir.bmp");
    ASSERT_EQ(Snap({{kw::kSrc, "old.bmp"}}), "old.bmp");  // a new name is written
    fs::create_symlink(rig.folder.Path() / "old.bmp", rig.folder.Path() / "link.bmp");
    for (const char* src : {"other.talu", "fake.bmp", "dir.bmp", "link.bmp"}) {
        EXPECT_EQ(Snap({{kw::kSrc, src}}), std::nullopt) << src;
    }
    EXPECT_EQ(ReadBytes(rig.folder.Path() / "other.talu"),
              (std::vector<uint8_t>{'<', 'T', 'E', 'X', 'T', '>'}));
    EXPECT_EQ(fs::file_size(rig.folder.Path() / "fake.bmp"), 17u);
    ASSERT_EQ(rig.boxes.boxes.size(), 4u);
    EXPECT_THAT(rig.boxes.boxes[0], ::testing::HasSubstr("I can't open file \"other.talu\""));
    // A picture is replaced, in either format.
    fs::remove(rig.folder.Path() / "old.bmp");
    rig.folder.Write("old.bmp", "\xFF\xD8\xFF\xE0 a JPEG head");
    EXPECT_EQ(Snap({{kw::kSrc, "old.bmp"}}), "old.bmp");
    EXPECT_GT(fs::file_size(rig.folder.Path() / "old.bmp"), 100u);
}

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
