#include "host/fonts/face_names.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace talu::host {
namespace {

// The old system's face names in CP932.
const std::string kMsMincho = "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";           // ＭＳ 明朝
const std::string kMsPMincho = "\x82\x6C\x82\x72 \x82\x6F\x96\xBE\x92\xA9";  // ＭＳ Ｐ明朝
const std::string kMsGothic = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
const std::string kMsPGothic =
    "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ Ｐゴシック

bool AnswersTo(const FontFileMatch& match, std::string_view family) {
    return std::find(match.families.begin(), match.families.end(), family) != match.families.end();
}

TEST(FaceSubstitution, OldSystemFacesMapToTheIpaFonts) {
    EXPECT_EQ(SubstituteFamily(kMsMincho), "IPAMincho");
    EXPECT_EQ(SubstituteFamily(kMsPMincho), "IPAPMincho");
    EXPECT_EQ(SubstituteFamily(kMsGothic), "IPAGothic");
    EXPECT_EQ(SubstituteFamily(kMsPGothic), "IPAPGothic");
    EXPECT_EQ(SubstituteFamily("MS Mincho"), "IPAMincho");
    EXPECT_EQ(SubstituteFamily("ms mincho"), "IPAMincho");  // face names ignore ASCII case
}

TEST(FaceSubstitution, OtherNamesPassThroughAsUtf8) {
    EXPECT_EQ(SubstituteFamily("DejaVu Sans"), "DejaVu Sans");
    EXPECT_EQ(SubstituteFamily("\x82\xA0"), "\xE3\x81\x82");  // あ
    EXPECT_EQ(SubstituteFamily("MS Mincho2"), "MS Mincho2");
}

TEST(FaceResolution, MapsEachOldFaceToItsInstalledFont) {
    struct Case {
        std::string face;
        std::string family;
    };
    for (const Case& c : {Case{kMsMincho, "IPAMincho"}, Case{kMsPMincho, "IPAPMincho"},
                          Case{kMsGothic, "IPAGothic"}, Case{kMsPGothic, "IPAPGothic"}}) {
        std::optional<FontFileMatch> match = ResolveFace(c.face, false);
        ASSERT_TRUE(match.has_value()) << c.family;
        EXPECT_TRUE(AnswersTo(*match, c.family)) << match->path;
        EXPECT_TRUE(match->japanese);
    }
}

TEST(FaceResolution, UnknownAndEmptyFacesFallBackToMincho) {
    for (std::string face : {std::string("No Such Face 12345"), std::string()}) {
        std::optional<FontFileMatch> match = ResolveFace(face, false);
        ASSERT_TRUE(match.has_value());
        EXPECT_TRUE(AnswersTo(*match, "IPAMincho")) << match->path;
    }
}

TEST(FaceResolution, InstalledFaceWithoutJapaneseFallsBackToMincho) {
    std::optional<FontFileMatch> direct = MatchFontFile("DejaVu Sans", false);
    if (!direct || !AnswersTo(*direct, "DejaVu Sans") || direct->japanese) {
        GTEST_SKIP() << "DejaVu Sans is not installed";
    }
    std::optional<FontFileMatch> match = ResolveFace("DejaVu Sans", false);
    ASSERT_TRUE(match.has_value());
    EXPECT_TRUE(AnswersTo(*match, "IPAMincho"));
}

}  // namespace
}  // namespace talu::host
