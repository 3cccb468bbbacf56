// Loading pictures as books name them: formats, archives, automatic transparency, sizes, and
// the errors the author sees.
#include "stage/picture_loader.h"

#include <gtest/gtest.h>

#include "host/image/sdl_image_codec.h"
#include "picture_test_support.h"
#include "script/messages.h"

namespace talu::stage {
namespace {

using testing::BmpLayout;
using testing::MakeBmp;
using testing::WriteFile;

// A 24-bit picture of width x height in which every pixel has colour(x, y) (0xRRGGBB).
template <typename ColourOf>
BmpLayout Picture24(int width, int height, ColourOf colour) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    const int stride = (width * 3 + 3) & ~3;
    layout.pixels.assign(static_cast<std::size_t>(stride) * height, 0);
    for (int stored = 0; stored < height; ++stored) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, height - 1 - stored);
            uint8_t* p = &layout.pixels[stored * stride + x * 3];
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    }
    return layout;
}

class PictureLoading : public ::testing::Test {
  protected:
    PictureLoading() {
        plugins_.Scan();
        PictureServices services;
        services.plugins = &plugins_;
        services.extensions = &extensions_;
        services.diagnostics = &diagnostics_;
        services.itemText = [] { return std::string(" BACKGROUND"); };
        services.bookFolder = folder_.Inside();
        loader_ = std::make_unique<PictureLoader>(std::move(services));
    }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteFile(folder_.Path() / name, bytes);
    }

    // The surface colour of a pixel, as a 24-bit value 0xRRGGBB at the surface's precision.
    static uint32_t At(const Picture& picture, int x, int y) {
        const uint32_t c = picture.Format().ToColour(picture.Row(y)[x]);
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }

    testing::ScratchFolder folder_;
    PluginList plugins_;
    ExtensionMap extensions_;
    testing::RecordingBoxes boxes_;
    script::Diagnostics diagnostics_{boxes_, script::kLangEnglish};
    std::unique_ptr<PictureLoader> loader_;
    Picture picture_;
};

TEST_F(PictureLoading, LoadsABmpOneToOneInTheDisplayFormat) {
    Write("face.bmp", MakeBmp(Picture24(3, 2, [](int x, int y) {
              return x == 0 && y == 0 ? 0xFF0000u : 0x0000FFu;
          })));
    for (const PixelFormat& format : {PixelFormat::Rgb565(), PixelFormat::Rgb555()}) {
        loader_->Services().format = format;
        ASSERT_TRUE(loader_->LoadPicture(picture_, "FACE.BMP", 0, 0, 0));
        EXPECT_EQ(picture_.Format(), format);
        EXPECT_EQ(picture_.Width(), 3);
        EXPECT_EQ(picture_.Height(), 2);
        EXPECT_EQ(At(picture_, 0, 0), 0xF80000u);
        EXPECT_EQ(At(picture_, 2, 1), 0x0000F8u);
        EXPECT_EQ(picture_.BlitFlags(), 0u);
    }
    EXPECT_EQ(picture_.source, "FACE.BMP");
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(PictureLoading, LoadsArchiveMembers) {
    loader_->Services().bookFolder = testing::InsideTestData("archives");
    ASSERT_TRUE(loader_->LoadPicture(picture_, "nested.lzh\\inner.lzh\\img\\pal8.bmp", 0, 0, 0));
    EXPECT_EQ(picture_.Width(), 127);
    EXPECT_EQ(picture_.Height(), 64);
}

TEST_F(PictureLoading, AutomaticKeyTurnsEveryPixelOfTheTopLeftColourTransparent) {
    auto colour = [](int x, int y) { return (x + y) % 2 == 0 ? 0xFFFFFFu : 0x123456u; };
    Write("white.bmp", MakeBmp(Picture24(4, 3, colour)));
    ASSERT_TRUE(loader_->LoadPicture(picture_, "white.bmp", load::kAutoKey, 0, 0));
    uint32_t key = 0;
    ASSERT_TRUE(picture_.GetSourceKey(key));
    EXPECT_EQ(key, picture_.NativeColour(0xFF00FF));
    EXPECT_EQ(picture_.BlitFlags(), kCopyKeySource);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(picture_.Row(y)[x] == key, colour(x, y) == 0xFFFFFF) << x << "," << y;
        }
    }
}

TEST_F(PictureLoading, AutomaticKeyOnAPaletteChangesOnlyTheTopLeftEntry) {
    BmpLayout layout;
    layout.width = 3;
    layout.bitCount = 8;
    layout.palette = {0x00FF00, 0x00FF00, 0x0000FF};  // entries 0 and 1 share a colour
    layout.pixels = {1, 0, 2, 0};
    Write("pal.bmp", MakeBmp(layout));
    ASSERT_TRUE(loader_->LoadPicture(picture_, "pal.bmp", load::kAutoKey, 0, 0));
    uint32_t key = 0;
    ASSERT_TRUE(picture_.GetSourceKey(key));
    EXPECT_EQ(picture_.Row(0)[0], key);
    EXPECT_NE(picture_.Row(0)[1], key);
    EXPECT_EQ(At(picture_, 1, 0), 0x00FC00u);
}

TEST_F(PictureLoading, ScalesOnlyTheSideTheFlagsName) {
    Write("big.bmp", MakeBmp(Picture24(640, 480, [](int, int) { return 0x808080u; })));
    ASSERT_TRUE(loader_->LoadPicture(picture_, "big.bmp", load::kWidthPercent, 50, 0));
    EXPECT_EQ(picture_.Width(), 320);
    EXPECT_EQ(picture_.Height(), 480);
    ASSERT_TRUE(loader_->LoadPicture(picture_, "big.bmp",
                                     load::kHeightPixels | load::kHeightPercent, 0, 100));
    EXPECT_EQ(picture_.Width(), 640);
    EXPECT_EQ(picture_.Height(), 100);
    ASSERT_TRUE(loader_->LoadPicture(picture_, "big.bmp", load::kWidthPixels, 7, 50));
    EXPECT_EQ(picture_.Width(), 7);
    EXPECT_EQ(picture_.Height(), 480);
}

TEST_F(PictureLoading, PercentagesTruncateAsTheOldArithmeticDid) {
    Write("hundred.bmp", MakeBmp(Picture24(100, 1, [](int, int) { return 0u; })));
    // 29 x 0.01 x 100 is 28.999... in double precision.
    ASSERT_TRUE(loader_->LoadPicture(picture_, "hundred.bmp", load::kWidthPercent, 29, 0));
    EXPECT_EQ(picture_.Width(), 28);
}

TEST_F(PictureLoading, FailsForSizesThatLeaveNoPixelOrAreAbsurd) {
    Write("small.bmp", MakeBmp(Picture24(10, 10, [](int, int) { return 0u; })));
    ASSERT_TRUE(loader_->LoadPicture(picture_, "small.bmp", 0, 0, 0));
    EXPECT_FALSE(loader_->LoadPicture(picture_, "small.bmp", load::kWidthPercent, 5, 0));
    EXPECT_FALSE(picture_.IsLoaded());
    EXPECT_FALSE(loader_->LoadPicture(picture_, "small.bmp", load::kWidthPixels, -3, 0));
    EXPECT_FALSE(loader_->LoadPicture(picture_, "small.bmp", load::kHeightPercent, 2000000000, 0));
}

TEST_F(PictureLoading, AMissingFileFailsQuietlyAndLeavesNoSurface) {
    Write("small.bmp", MakeBmp(Picture24(10, 10, [](int, int) { return 0u; })));
    ASSERT_TRUE(loader_->LoadPicture(picture_, "small.bmp", 0, 0, 0));
    picture_.mask.assign(100, 7);
    EXPECT_FALSE(loader_->LoadPicture(picture_, "gone.bmp", load::kAutoKey, 0, 0));
    EXPECT_FALSE(picture_.IsLoaded());
    EXPECT_TRUE(picture_.mask.empty());
    EXPECT_EQ(picture_.source, "gone.bmp");
    EXPECT_EQ(picture_.loadFlags, load::kAutoKey);
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(PictureLoading, TellsTheReaderAboutShortFiles) {
    Write("short.bmp", {'B', 'M', 1, 2});
    EXPECT_FALSE(loader_->LoadPicture(picture_, "short.bmp", 0, 0, 0));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0], "ファイルが短い");
}

class OtherFormats : public PictureLoading {
  protected:
    void SetUp() override {
        host::RgbaImage image{2, 2, std::vector<uint8_t>(16, 255)};
        ASSERT_TRUE(host::WritePng(folder_.Path() / "x.png", image));
        std::filesystem::copy_file(folder_.Path() / "x.png", folder_.Path() / "x.xyz");
        std::filesystem::copy_file(folder_.Path() / "x.png", folder_.Path() / "noextension");
    }
};

TEST_F(OtherFormats, NeedAPluginTagBindingTheirExtension) {
    EXPECT_FALSE(loader_->LoadPicture(picture_, "x.png", 0, 0, 0));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0],
              "Syntax Error. BACKGROUND\n\nPlugin not found to read \"x.png\" format graphics .");
}

TEST_F(OtherFormats, LoadThroughTheBuiltInDecodersUnderAnyLibraryName) {
    extensions_.Bind("PNG", "IFPNG.SPI");
    ASSERT_TRUE(loader_->LoadPicture(picture_, "X.PNG", 0, 0, 0));
    EXPECT_EQ(picture_.Width(), 2);
    EXPECT_EQ(At(picture_, 1, 1), 0xF8FCF8u);
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(OtherFormats, ReportAMissingPluginOnlyForFormatsNoDecoderReads) {
    extensions_.Bind("XYZ", "IFXYZ.SPI");
    EXPECT_FALSE(loader_->LoadPicture(picture_, "x.xyz", 0, 0, 0));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0], "Syntax Error. BACKGROUND\n\nPlugin \"IFXYZ.SPI\" is not found.");
}

TEST_F(OtherFormats, ReportAPathWithoutExtension) {
    EXPECT_FALSE(loader_->LoadPicture(picture_, "noextension", 0, 0, 0));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0],
              "Syntax Error. BACKGROUND\n\nPlugin not found to read \"noextension\" format "
              "graphics .");
}

TEST_F(OtherFormats, AreAllBoundForTools) {
    loader_->Services().everyExtensionBound = true;
    EXPECT_TRUE(loader_->LoadPicture(picture_, "x.png", 0, 0, 0));
    EXPECT_FALSE(loader_->LoadPicture(picture_, "x.xyz", 0, 0, 0));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0], "Syntax Error. BACKGROUND\n\nPlugin \"SDL2_IMAGE\" is not found.");
}

TEST_F(OtherFormats, BrokenFilesFailWithoutMessages) {
    extensions_.Bind("PNG", "IFPNG.SPI");
    std::vector<uint8_t> png = testing::ReadFile(folder_.Path() / "x.png");
    png.resize(png.size() / 2);
    Write("half.png", png);
    EXPECT_FALSE(loader_->LoadPicture(picture_, "half.png", 0, 0, 0));
    EXPECT_FALSE(picture_.IsLoaded());
    EXPECT_TRUE(boxes_.boxes.empty());
}

}  // namespace
}  // namespace talu::stage
