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

TEST(FaceSubstitution, OldSystemFacesMapToTheIpaFontsAndOthersPassAsUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {kMsMincho, "IPAMincho"},       {kMsPMincho, "IPAPMincho"},
        {kMsGothic, "IPAGothic"},       {kMsPGothic, "IPAPGothic"},
        {"MS Mincho", "IPAMincho"},     {"ms mincho", "IPAMincho"},  // face names ignore ASCII case
        {"DejaVu Sans", "DejaVu Sans"}, {"MS Mincho2", "MS Mincho2"},
        {"\x82\xA0", "\xE3\x81\x82"}};  // あ
    for (const auto& [face, family] : cases) {
        EXPECT_EQ(SubstituteFamily(face), family) << family;
    }
}

TEST(FaceResolution, MapsEachOldFaceToItsInstalledFontAndUnknownOnesToMincho) {
    const std::pair<std::string, std::string> cases[] = {
        {kMsMincho, "IPAMincho"},   {kMsPMincho, "IPAPMincho"},          {kMsGothic, "IPAGothic"},
        {kMsPGothic, "IPAPGothic"}, {"No Such Face 12345", "IPAMincho"}, {"", "IPAMincho"}};
    for (const auto& [face, family] : cases) {
        std::optional<FontFileMatch> match = ResolveFace(face, false);
        ASSERT_TRUE(match.has_value()) << family;
        EXPECT_TRUE(AnswersTo(*match, family)) << match->path;
        EXPECT_TRUE(match->japanese);
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
