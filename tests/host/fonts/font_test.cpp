#include "host/fonts/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <thread>
#include <vector>

#include "host/fonts/face_names.h"

namespace talu::host {
namespace {

// The old system's face names in CP932.
const std::string kMsMincho = "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";           // ＭＳ 明朝
const std::string kMsPMincho = "\x82\x6C\x82\x72 \x82\x6F\x96\xBE\x92\xA9";  // ＭＳ Ｐ明朝
const std::string kMsGothic = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
const std::string kMsPGothic =
    "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ Ｐゴシック
const std::string kA = "\x82\xA0";                                // あ
const std::string kAi = "\x88\xA4";                               // 愛
const std::string kHyo = "\x95\x5C";                              // 表: trail byte 0x5C

constexpr uint16_t kPaper = 0x1234;
constexpr uint16_t kInk = 0xF00F;

// A 16-bit buffer with a guard frame around the visible part, to catch writes past the clip.
struct Canvas {
    static constexpr int kGuard = 8;
    int width;
    int height;
    int pitch;
    std::vector<uint16_t> memory;

    Canvas(int w, int h)
        : width(w),
          height(h),
          pitch(w + 2 * kGuard),
          memory(static_cast<std::size_t>(pitch) * (h + 2 * kGuard), kPaper) {}

    PixelBuffer16 Buffer() {
        return PixelBuffer16{memory.data() + kGuard * pitch + kGuard, pitch, width, height};
    }
    uint16_t At(int x, int y) const { return memory[(y + kGuard) * pitch + x + kGuard]; }
    /// Ink pixels in rows [top, bottom): how many, and the sum of their x.
    std::pair<int, int> Ink(int top = 0, int bottom = INT_MAX) const {
        std::pair<int, int> ink{0, 0};
        for (int y = top; y < std::min(bottom, height); ++y) {
            for (int x = 0; x < width; ++x) {
                if (At(x, y) == kInk) {
                    ++ink.first;
                    ink.second += x;
                }
            }
        }
        return ink;
    }
    int InkCount() const { return Ink().first; }
    bool GuardUntouched() const {
        for (int y = -kGuard; y < height + kGuard; ++y) {
            for (int x = -kGuard; x < width + kGuard; ++x) {
                bool inside = x >= 0 && y >= 0 && x < width && y < height;
                if (!inside && At(x, y) != kPaper) {
                    return false;
                }
            }
        }
        return true;
    }
};

std::unique_ptr<Font> Mincho(int height) {
    return Font::Create({.face = kMsMincho, .height = height});
}

// A positive height is the cell: FontCharacters below checks it at 27, the text layout's
// LayoutFont test at 16 and 20.
TEST(FontSize, NegativeHeightIsTheEmAndZeroADefault) {
    std::unique_ptr<Font> em = Mincho(-20);
    ASSERT_NE(em, nullptr);
    EXPECT_EQ(em->Measure(kA).width, 20);
    std::unique_ptr<Font> fallback = Mincho(0);
    ASSERT_NE(fallback, nullptr);
    EXPECT_GT(fallback->Metrics().cellHeight, 0);
}

TEST(FontCharacters, HalfWidthCharactersAreAboutHalfAndDoubleByteOnesStayWhole) {
    std::unique_ptr<Font> font = Mincho(27);
    ASSERT_NE(font, nullptr);
    EXPECT_GT(font->Metrics().ascent, 27 / 2);
    EXPECT_LT(font->Metrics().ascent, 27);
    TextExtent narrow = font->Measure("A");
    EXPECT_EQ(narrow.height, 27);
    EXPECT_GE(narrow.width, 13);
    EXPECT_LE(narrow.width, 14);
    EXPECT_EQ(font->Measure("\xB1").width, narrow.width);  // half-width katakana ｱ
    // 0x5C after a lead byte belongs to 表, not a narrow backslash.
    EXPECT_EQ(font->Measure(kHyo).width, 27);
    EXPECT_EQ(font->Measure(kHyo + "A").width, 27);  // only the first character counts
    EXPECT_LT(font->Measure("\\").width, 27);
}

// Nothing is drawn outside the buffer, whatever the height, the bytes or the position.
TEST(FontDrawing, AbsurdHeightsBrokenBytesAndExtremePositionsStayInsideTheBuffer) {
    for (int height : {INT_MAX, INT_MIN, 100000}) {
        std::unique_ptr<Font> font = Mincho(height);
        ASSERT_NE(font, nullptr) << height;
        EXPECT_LE(font->Metrics().cellHeight, 4 * FreeTypeFace::kMaxPixelSize);
        Canvas canvas(32, 32);
        font->Draw(canvas.Buffer(), kA, -500, -500, kInk);
        EXPECT_TRUE(canvas.GuardUntouched());
    }
    std::unique_ptr<Font> font = Mincho(27);
    ASSERT_NE(font, nullptr);
    Canvas canvas(30, 30);
    for (std::string bad : {std::string("\x82"), std::string("\xFF"), std::string("\x81\x20"),
                            std::string(1, '\0'), std::string()}) {
        TextExtent extent = font->Measure(bad);
        EXPECT_EQ(extent.height, 27);
        EXPECT_GE(extent.width, 0);
        font->Draw(canvas.Buffer(), bad, 4, 4, kInk);
    }
    EXPECT_EQ(font->Measure("").width, 0);
    const int inkBefore = canvas.InkCount();
    const int positions[][2] = {{-13, -13},       {20, 20},           {-26, 5},
                                {5, 29},          {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN},
                                {INT_MAX - 3, 0}, {0, INT_MIN + 2}};
    for (const auto& p : positions) {
        font->Draw(canvas.Buffer(), kAi, p[0], p[1], kInk);
    }
    EXPECT_TRUE(canvas.GuardUntouched());
    EXPECT_GT(canvas.InkCount(), inkBefore);       // the partly visible placements did draw
    font->Draw(PixelBuffer16{}, kAi, 0, 0, kInk);  // no buffer: nothing to do
}

// Only the ink colour is written, inside the cell, and the same shape wherever it is drawn.
TEST(FontDrawing, WritesTheSameInkShapeInsideTheCellAnywhere) {
    std::unique_ptr<Font> font = Mincho(27);
    ASSERT_NE(font, nullptr);
    Canvas a(60, 60);
    Canvas b(60, 60);
    font->Draw(a.Buffer(), kAi, 10, 10, kInk);
    font->Draw(b.Buffer(), kAi, 17, 21, kInk);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const uint16_t v = a.At(x, y);
            ASSERT_TRUE(v == kPaper || v == kInk) << "in-between colour at " << x << "," << y;
            if (v == kInk) {
                ASSERT_TRUE(x >= 10 && x < 10 + 27 && y >= 10 && y < 10 + 27) << x << "," << y;
            }
            if (x + 7 < 60 && y + 11 < 60) {
                ASSERT_EQ(v, b.At(x + 7, y + 11)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(a.InkCount(), 60);  // 愛 has many strokes
}

TEST(FontStyles, BoldWithoutABoldFaceSmearsOnePixelRight) {
    std::unique_ptr<Font> regular = Mincho(27);
    std::unique_ptr<Font> bold = Font::Create({.face = kMsMincho, .weight = 700});
    ASSERT_TRUE(regular && bold);
    Canvas plain(50, 50);
    Canvas heavy(50, 50);
    regular->Draw(plain.Buffer(), kAi, 5, 5, kInk);
    bold->Draw(heavy.Buffer(), kAi, 5, 5, kInk);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x + 1 < 50; ++x) {
            if (plain.At(x, y) == kInk) {
                ASSERT_EQ(heavy.At(x, y), kInk);
                ASSERT_EQ(heavy.At(x + 1, y), kInk);
            }
        }
    }
    EXPECT_GT(heavy.InkCount(), plain.InkCount());
}

TEST(FontStyles, ItalicLeansTheTopToTheRight) {
    std::unique_ptr<Font> regular = Mincho(40);
    std::unique_ptr<Font> italic = Font::Create({.face = kMsMincho, .height = 40, .italic = true});
    ASSERT_TRUE(regular && italic);
    EXPECT_EQ(italic->Measure("l").width, regular->Measure("l").width);
    // The mean x of the ink in the top third moves right against the bottom third.
    auto lean = [](Font& font) {
        Canvas canvas(60, 60);
        font.Draw(canvas.Buffer(), "l", 10, 5, kInk);
        const auto [topCount, topSum] = canvas.Ink(0, 5 + 15);
        const auto [bottomCount, bottomSum] = canvas.Ink(5 + 26, 60);
        return double(topSum) / topCount - double(bottomSum) / bottomCount;
    };
    EXPECT_NEAR(lean(*regular), 0.0, 1.0);
    EXPECT_GT(lean(*italic), 2.0);
}

TEST(FontStyles, UnderlineAndStrikeOutSpanTheAdvance) {
    std::unique_ptr<Font> plain = Mincho(27);
    std::unique_ptr<Font> lined =
        Font::Create({.face = kMsMincho, .underline = true, .strikeOut = true});
    ASSERT_TRUE(plain && lined);
    Canvas blank(40, 40);
    plain->Draw(blank.Buffer(), " ", 0, 0, kInk);
    EXPECT_EQ(blank.InkCount(), 0);

    Canvas canvas(40, 40);
    lined->Draw(canvas.Buffer(), " ", 0, 0, kInk);
    const CellMetrics& m = lined->Metrics();
    const int advance = lined->Measure(" ").width;
    EXPECT_GT(m.underlineTop, m.ascent - 1);  // below the baseline
    EXPECT_LT(m.underlineTop + m.underlineThickness, 28);
    EXPECT_LT(m.strikeOutTop, m.ascent);  // above it
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(canvas.At(x, m.underlineTop) == kInk, x < advance) << x;
        EXPECT_EQ(canvas.At(x, m.strikeOutTop) == kInk, x < advance) << x;
    }
    EXPECT_EQ(canvas.InkCount(), advance * (m.underlineThickness + m.strikeOutThickness));
}

TEST(FontThreads, FontsOnTwoThreadsDrawAsOnOne) {
    // The worker and the user-interface thread may each create and use fonts at the same time.
    auto render = [](const std::string& face, int height) {
        std::unique_ptr<Font> font = Font::Create({.face = face, .height = height});
        Canvas canvas(64, 64);
        if (font) {
            for (int code = 0x9F; code <= 0xFC; ++code) {
                font->Draw(canvas.Buffer(), std::string{'\x88', static_cast<char>(code)}, 2, 2,
                           kInk);
            }
        }
        return canvas.memory;
    };
    const std::vector<uint16_t> expectMincho = render(kMsMincho, 27);
    const std::vector<uint16_t> expectGothic = render(kMsGothic, 20);
    std::vector<uint16_t> gothicResult;
    std::thread other([&] { gothicResult = render(kMsGothic, 20); });
    const std::vector<uint16_t> mincho = render(kMsMincho, 27);
    other.join();
    EXPECT_EQ(mincho, expectMincho);
    EXPECT_EQ(gothicResult, expectGothic);
    EXPECT_NE(mincho, gothicResult);
}

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
