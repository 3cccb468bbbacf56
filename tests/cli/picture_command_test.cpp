// talu-cli picture: the author's view of how the player shows one picture.
#include "frontend/cli/picture_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/image/sdl_image_codec.h"
#include "stage/picture.h"
#include "stage/picture_test_support.h"

namespace talu::cli {
namespace {

const std::string kData = TALU_TESTDATA;

class PictureCommand : public ::testing::Test {
  protected:
    int Run(PictureOptions options) {
        options.out = (folder_.Path() / "out.png").string();
        return RunPicture(options, out_, err_);
    }
    std::optional<host::DecodedImage> Output() {
        return host::DecodeImage(test::ReadBytes(folder_.Path() / "out.png"),
                                 {.extension = "PNG", .keepAlpha = true});
    }

    test::TempFolder folder_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(PictureCommand, WritesArchiveMembersAtTheDisplayPrecision) {
    PictureOptions options;
    options.file = kData + "/archives/nested.lzh/inner.lzh/IMG/PAL8.BMP";
    options.format = stage::PixelFormat::Rgb555();
    ASSERT_EQ(Run(options), 0) << err_.str();
    EXPECT_EQ(out_.str(), "127x64\n");
    auto image = Output();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 127);
    for (std::size_t i = 0; i < image->rows.size(); i += 4) {
        const int v = image->rows[i];
        EXPECT_EQ(v, (v >> 3 << 3) | (v >> 5)) << "a 5-bit channel repeats its top bits below";
        EXPECT_EQ(image->rows[i + 3], 255);
    }
}

TEST_F(PictureCommand, LeavesKeyPixelsTransparentScalesAndFiltersTheRest) {
    PictureOptions options;
    options.file = kData + "/bmpsuite/g/rgb24.bmp";
    options.flags = stage::load::kAutoKey | stage::load::kWidthPercent;
    options.width = 50;
    ASSERT_EQ(Run(options), 0);
    EXPECT_EQ(out_.str(), "63x64\n");
    auto plain = Output();
    options.filter = 0x1000002;  // INVERSE
    ASSERT_EQ(Run(options), 0);
    auto inverse = Output();
    ASSERT_TRUE(plain && inverse);
    EXPECT_NE(plain->rows, inverse->rows);
    for (const auto& image : {plain, inverse}) {
        EXPECT_EQ(image->rows[63 * image->stride + 3], 0);  // the top-left pixel
    }
}

TEST_F(PictureCommand, ReadsOtherFormatsWithoutPluginTags) {
    PictureOptions options;
    options.file = kData + "/bmpsuite/ref/rgb24.png";
    ASSERT_EQ(Run(options), 0);
    EXPECT_EQ(out_.str(), "127x64\n");
}

TEST_F(PictureCommand, ReportsAFileItCannotOpenAsTheBookWould) {
    PictureOptions options;
    options.file = kData + "/archives/pictures.lzh/none.bmp";
    options.langMode = 1;
    EXPECT_EQ(Run(options), 1);
    EXPECT_EQ(out_.str(), "box Syntax Error.\\n\\nI can't open file \"" + options.file + "\".\n");
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "out.png"));
}

TEST(PictureArguments, ReadsEveryOption) {
    PictureOptions options;
    std::string problem;
    ASSERT_TRUE(ParsePictureArguments(
        {"a.bmp", "--format", "555", "--auto-key", "--width", "50%", "--height", "30", "--filter",
         "#FF0080", "--out", "o.png", "--lang", "en"},
        options, problem))
        << problem;
    EXPECT_EQ(options.file, "a.bmp");
    EXPECT_EQ(options.format, stage::PixelFormat::Rgb555());
    EXPECT_EQ(options.flags,
              stage::load::kAutoKey | stage::load::kWidthPercent | stage::load::kHeightPixels);
    EXPECT_EQ(options.width, 50);
    EXPECT_EQ(options.height, 30);
    EXPECT_EQ(options.filter, 0x8000FFu);
    EXPECT_EQ(options.out, "o.png");
    EXPECT_EQ(options.langMode, 1);

    ASSERT_TRUE(
        ParsePictureArguments({"a.bmp", "--filter", "sepia", "--out", "o.png"}, options, problem));
    EXPECT_EQ(options.filter, 0x1000003u);
}

TEST(PictureArguments, RefusesWhatItCannotUse) {
    for (const std::vector<std::string_view>& args : std::vector<std::vector<std::string_view>>{
             {"a.bmp"},
             {"--out", "o.png"},
             {"a.bmp", "b.bmp", "--out", "o.png"},
             {"a.bmp", "--out", "o.png", "--format", "888"},
             {"a.bmp", "--out", "o.png", "--width", "ten"},
             {"a.bmp", "--out", "o.png", "--height", "5%%"},
             {"a.bmp", "--out", "o.png", "--filter", "PINK"},
             {"a.bmp", "--out", "o.png", "--filter", "#12345"},
             {"a.bmp", "--out", "o.png", "--bogus"},
             {"a.bmp", "--out"}}) {
        PictureOptions options;
        std::string problem;
        EXPECT_FALSE(ParsePictureArguments(args, options, problem)) << args.size();
        EXPECT_FALSE(problem.empty());
    }
}

}  // namespace
}  // namespace talu::cli
