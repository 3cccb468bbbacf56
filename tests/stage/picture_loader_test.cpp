// Loading pictures as books name them: formats, archives, automatic transparency, sizes, and
// the errors the author sees.
#include "stage/picture_loader.h"

#include <gtest/gtest.h>

#include "host/image/sdl_image_codec.h"
#include "picture_test_support.h"
#include "script/messages.h"
#include "stage_test_support.h"

namespace talu::stage {
namespace {

using testing::Bmp24;
using testing::MakeBmp;

// The stage rig's loader with the built-in decoders, reporting as a BACKGROUND tag would.
class PictureLoading : public ::testing::Test {
  protected:
    PictureLoading() {
        rig.plugins.Scan();
        rig.loader->Services().itemText = [] { return std::string(" BACKGROUND"); };
    }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        testing::WriteFile(rig.folder.Path() / name, bytes);
    }
    bool Load(const std::string& name, uint32_t flags = 0, int width = 0, int height = 0) {
        return rig.loader->LoadPicture(picture_, name, flags, width, height);
    }

    // The surface colour of a pixel, as a 24-bit value 0xRRGGBB at the surface's precision.
    static uint32_t At(const Picture& picture, int x, int y) {
        const uint32_t c = picture.Format().ToColour(picture.Row(y)[x]);
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }

    testing::StageRig rig;
    std::vector<std::string>& boxes_ = rig.boxes.boxes;
    Picture picture_;
};

TEST_F(PictureLoading, LoadsBmpFilesAndArchiveMembersOneToOneInTheDisplayFormat) {
    Write("face.bmp", MakeBmp(Bmp24(3, 2, [](int x, int y) {
              return x == 0 && y == 0 ? 0xFF0000u : 0x0000FFu;
          })));
    for (const PixelFormat& format : {PixelFormat::Rgb565(), PixelFormat::Rgb555()}) {
        rig.loader->Services().format = format;
        ASSERT_TRUE(Load("FACE.BMP"));
        EXPECT_EQ(picture_.Format(), format);
        EXPECT_EQ(picture_.Width(), 3);
        EXPECT_EQ(picture_.Height(), 2);
        EXPECT_EQ(At(picture_, 0, 0), 0xF80000u);
        EXPECT_EQ(At(picture_, 2, 1), 0x0000F8u);
        EXPECT_EQ(picture_.BlitFlags(), 0u);
    }
    EXPECT_EQ(picture_.source, "FACE.BMP");
    rig.loader->Services().bookFolder = testing::InsideTestData("archives");
    ASSERT_TRUE(Load("nested.lzh\\inner.lzh\\img\\pal8.bmp"));
    EXPECT_EQ(picture_.Width(), 127);
    EXPECT_EQ(picture_.Height(), 64);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PictureLoading, AutomaticKeyTurnsEveryPixelOfTheTopLeftColourTransparent) {
    auto colour = [](int x, int y) { return (x + y) % 2 == 0 ? 0xFFFFFFu : 0x123456u; };
    Write("white.bmp", MakeBmp(Bmp24(4, 3, colour)));
    ASSERT_TRUE(Load("white.bmp", load::kAutoKey));
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
    testing::BmpLayout layout;
    layout.width = 3;
    layout.bitCount = 8;
    layout.palette = {0x00FF00, 0x00FF00, 0x0000FF};  // entries 0 and 1 share a colour
    layout.pixels = {1, 0, 2, 0};
    Write("pal.bmp", MakeBmp(layout));
    ASSERT_TRUE(Load("pal.bmp", load::kAutoKey));
    uint32_t key = 0;
    ASSERT_TRUE(picture_.GetSourceKey(key));
    EXPECT_EQ(picture_.Row(0)[0], key);
    EXPECT_NE(picture_.Row(0)[1], key);
    EXPECT_EQ(At(picture_, 1, 0), 0x00FC00u);
}

// Only the side a flag names is scaled, pixels before percent; sizes that leave no pixel or
// are absurd fail and leave no surface.
TEST_F(PictureLoading, SizesFollowTheFlags) {
    Write("pic.bmp", MakeBmp(Bmp24(100, 50, [](int, int) { return 0x808080u; })));
    const struct {
        uint32_t flags;
        int width, height, wantWidth, wantHeight;
    } cases[] = {
        {load::kWidthPercent, 50, 0, 50, 50},
        {load::kHeightPixels | load::kHeightPercent, 0, 100, 100, 100},
        {load::kWidthPixels, 7, 20, 7, 50},
        {load::kWidthPercent, 29, 0, 28, 50},  // 29 x 0.01 x 100 is 28.999... in double precision
        {load::kHeightPercent, 0, 1, 0, 0},
        {load::kWidthPixels, -3, 0, 0, 0},
        {load::kHeightPercent, 0, 2000000000, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.flags << " " << c.width << " " << c.height);
        ASSERT_TRUE(Load("pic.bmp"));
        EXPECT_EQ(Load("pic.bmp", c.flags, c.width, c.height), c.wantWidth != 0);
        EXPECT_EQ(picture_.Width(), c.wantWidth);
        EXPECT_EQ(picture_.Height(), c.wantHeight);
        EXPECT_EQ(picture_.IsLoaded(), c.wantWidth != 0);
    }
}

TEST_F(PictureLoading, MissingFilesFailQuietlyAndShortOnesAreReported) {
    Write("small.bmp", MakeBmp(Bmp24(10, 10, [](int, int) { return 0u; })));
    ASSERT_TRUE(Load("small.bmp"));
    picture_.mask.assign(100, 7);
    EXPECT_FALSE(Load("gone.bmp", load::kAutoKey));
    EXPECT_FALSE(picture_.IsLoaded());
    EXPECT_TRUE(picture_.mask.empty());
    EXPECT_EQ(picture_.source, "gone.bmp");
    EXPECT_EQ(picture_.loadFlags, load::kAutoKey);
    EXPECT_TRUE(boxes_.empty());
    Write("short.bmp", {'B', 'M', 1, 2});
    EXPECT_FALSE(Load("short.bmp"));
    EXPECT_EQ(boxes_, (std::vector<std::string>{"ファイルが短い"}));
}

// Other formats go through the built-in decoders under any library name a PLUGIN tag binds;
// what no decoder reads is reported as a missing plug-in, a broken file fails quietly.
TEST_F(PictureLoading, OtherFormatsNeedABindingForTheirExtension) {
    host::RgbaImage image{2, 2, std::vector<uint8_t>(16, 255)};
    ASSERT_TRUE(host::WritePng(rig.folder.Path() / "x.png", image));
    for (const char* copy : {"x.xyz", "noextension"}) {
        std::filesystem::copy_file(rig.folder.Path() / "x.png", rig.folder.Path() / copy);
    }
    std::vector<uint8_t> png = test::ReadBytes(rig.folder.Path() / "x.png");
    png.resize(png.size() / 2);
    Write("half.png", png);
    const struct {
        bool everyExtensionBound;
        const char *extension, *library, *file;
        bool loads;
        const char* box;
    } cases[] = {
        {true, "", "", "x.png", true, ""},  // tools bind every extension
        {true, "", "", "x.xyz", false, "Plugin \"SDL2_IMAGE\" is not found."},
        {false, "", "", "x.png", false, "Plugin not found to read \"x.png\" format graphics ."},
        {false, "", "", "noextension", false,
         "Plugin not found to read \"noextension\" format graphics ."},
        {false, "XYZ", "IFXYZ.SPI", "x.xyz", false, "Plugin \"IFXYZ.SPI\" is not found."},
        {false, "PNG", "IFPNG.SPI", "X.PNG", true, ""},
        {false, "PNG", "IFPNG.SPI", "half.png", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        boxes_.clear();
        rig.loader->Services().everyExtensionBound = c.everyExtensionBound;
        if (*c.extension) {
            rig.extensions.Bind(c.extension, c.library);
        }
        EXPECT_EQ(Load(c.file), c.loads);
        EXPECT_EQ(picture_.IsLoaded(), c.loads);
        std::vector<std::string> boxes;
        if (*c.box) {
            boxes.push_back(std::string("Syntax Error. BACKGROUND\n\n") + c.box);
        }
        EXPECT_EQ(boxes_, boxes);
    }
    ASSERT_TRUE(Load("X.PNG"));
    EXPECT_EQ(picture_.Width(), 2);
    EXPECT_EQ(At(picture_, 1, 1), 0xF8FCF8u);
}

}  // namespace
}  // namespace talu::stage
