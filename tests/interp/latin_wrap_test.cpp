#include "interp/latin_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/interp_test_support.h"
#include "interp/interpreter.h"
#include "interp/link_set.h"
#include "interp/text_placement.h"
#include "script/keywords.h"
#include "support/interpreter_rig.h"
#include "support/repeat.h"

namespace talu::interp {
namespace {

const std::string kMaru = "\x81\x42";       // 。
const std::string kFullSpace = "\x81\x40";  // full-width space

/// Text laid out in a window a given number of half-width cells wide.
class LatinWrap : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(layer.Create(640, 480, stage::PixelFormat::Rgb565()));
        ASSERT_NE(layout.font, nullptr);
        cell = layout.font->Measure("a").width;
        ASSERT_GT(cell, 0);
        Columns(10);
    }

    /// A window whose lines hold exactly n half-width characters (the last cell's square must
    /// stay inside) and `lines` lines.
    void Columns(int n, int lines = 14) {
        layout.SetWindow(20, 20, (n - 1) * cell + layout.height,
                         (lines - 1) * layout.skip + layout.height);
    }

    bool Place(std::string_view text, bool on, WordExtent continuation = {}) {
        const WordWrap wrap{on, continuation};
        rects.clear();
        return PlaceText(layout, layer, text, remainder, &rects, &wrap);
    }

    /// Top-left corner of drawn character i.
    PenPoint At(std::size_t i) const { return {rects.at(i).left, rects.at(i).top}; }
    int Column(int n) const { return 20 + n * cell; }

    TextLayout layout;
    stage::Surface layer;
    int cell = 0;
    std::string remainder;
    std::vector<stage::Rect> rects;
};

TEST_F(LatinWrap, AWordThatWouldBreakMovesWholeToTheNextLine) {
    // ghij would start in column 7 and break after "ghi".
    ASSERT_TRUE(Place("abcdef ghij klm", true));
    ASSERT_EQ(rects.size(), 15u);                  // both spaces drawn: neither met the margin
    EXPECT_EQ(At(7), (PenPoint{20, 50}));          // g starts the second line
    EXPECT_EQ(At(12), (PenPoint{Column(5), 50}));  // k after "ghij "

    // Off, the same text breaks inside the word, as books were laid out with.
    Columns(10);
    ASSERT_TRUE(Place("abcdef ghij klm", false));
    EXPECT_EQ(At(10), (PenPoint{20, 50}));  // j starts the second line
}

TEST_F(LatinWrap, ASpaceMeetingTheMarginBreaksTheLineAndSpacesAfterItAreDropped) {
    ASSERT_TRUE(Place("abcdefghij   klm", true));
    ASSERT_EQ(rects.size(), 13u);  // no rectangle for the three spaces
    EXPECT_EQ(At(10), (PenPoint{20, 50}));
    // A space inside the line is kept, and so are spaces after a line the book broke.
    Columns(10);
    ASSERT_TRUE(Place("ab cd", true));
    layout.LineBreak();
    ASSERT_TRUE(Place("  ef", true));
    EXPECT_EQ(At(2), (PenPoint{Column(2), 50}));
}

TEST_F(LatinWrap, AWordLongerThanALineStillBreaksInsideWhereItStands) {
    ASSERT_TRUE(Place("ab " + test::Repeat("x", 12), true));
    EXPECT_EQ(At(3), (PenPoint{Column(3), 20}));  // not moved: it fits on no line
    EXPECT_EQ(At(10), (PenPoint{20, 50}));
}

TEST_F(LatinWrap, PunctuationEndingAWordHangsInsteadOfMovingIt) {
    // "ghi," fits when its comma hangs past the margin, as a kinsoku character does.
    ASSERT_TRUE(Place("abcdef ghi, j", true));
    EXPECT_EQ(At(7), (PenPoint{Column(7), 20}));
    EXPECT_EQ(At(10), (PenPoint{Column(10), 20}));  // the comma, past the margin
    EXPECT_EQ(At(11), (PenPoint{20, 50}));          // the space after the break is dropped
}

TEST_F(LatinWrap, JapaneseTextIsLaidOutAsWithoutTheSetting) {
    const std::string kI = "\x82\xA2";  // い
    // A page that fills, with a hanging full stop and a full-width space; then a short run of
    // kana after a full stop that meets the margin (kana make no words to move).
    for (const std::string& text :
         {test::Repeat(test::kA, 9) + kMaru + kFullSpace + test::Repeat(test::kA, 300),
          test::Repeat(test::kA, 18) + kMaru + test::Repeat(kI, 4)}) {
        Columns(41, 4);
        const bool offFitted = Place(text, false);
        const std::vector<stage::Rect> offRects = rects;
        const std::string offRemainder = remainder;
        const PenPoint offPen = test::Pen(layout);
        Columns(41, 4);
        EXPECT_EQ(Place(text, true), offFitted);
        EXPECT_EQ(rects, offRects);
        EXPECT_EQ(remainder, offRemainder);
        EXPECT_EQ(test::Pen(layout), offPen);
    }
}

TEST_F(LatinWrap, AMovedWordOnTheLastLineEndsThePageBeforeItsFirstLetter) {
    Columns(10, 2);
    EXPECT_FALSE(Place("abcd efgh ijkl mnop qrst", true));
    EXPECT_EQ(rects.size(), 20u);  // "abcd efgh " and "ijkl mnop "
    EXPECT_EQ(remainder, "qrst");
    // The space that meets the margin on the last line ends the page too, consumed.
    Columns(10, 1);
    EXPECT_FALSE(Place("abcdefghij klm", true));
    EXPECT_EQ(remainder, "klm");
    EXPECT_EQ(rects.size(), 10u);
}

TEST(LatinWords, WordCharactersAreAsciiAndFullWidthLettersAndDigitsOnly) {
    EXPECT_TRUE(IsWordCharacter("a"));
    EXPECT_TRUE(IsWordCharacter("~"));
    EXPECT_FALSE(IsWordCharacter(" "));
    EXPECT_FALSE(IsWordCharacter("\xB1"));      // half-width katakana
    EXPECT_TRUE(IsWordCharacter("\x82\x4F"));   // ０
    EXPECT_TRUE(IsWordCharacter("\x82\x60"));   // Ａ
    EXPECT_TRUE(IsWordCharacter("\x82\x9A"));   // ｚ
    EXPECT_FALSE(IsWordCharacter("\x82\x9F"));  // ぁ
    EXPECT_FALSE(IsWordCharacter(kFullSpace));
    EXPECT_TRUE(EndsInWord(test::kA + "a"));
    EXPECT_FALSE(EndsInWord("a\x82\xA0"));
    EXPECT_FALSE(EndsInWord("a\x81\x5D"));  // ‐, whose trail byte is "]"
    EXPECT_FALSE(EndsInWord(""));
}

TEST_F(LatinWrap, LinksWrapTheirWordsAtSpacesWhenAsked) {
    // Links break where x plus a cell passes the window's width: ten cells here, from x = 20.
    auto linesOf = [this](bool on) {
        LinkSet links;
        links.Layout().SetWindow(20, 20, 20 + 9 * cell + links.Layout().height, 440);
        links.WrapAtSpaces(on);
        script::TagRecord group;
        group.AddAttribute(script::kw::kHref, "#x");
        group.AddAttribute(script::kw::kAlt, "abcdefgh ij abcdefgh");
        group.AddAttribute(script::kw::kLeft, "20");
        group.AddAttribute(script::kw::kTop, "20");
        script::Book book{script::BookServices{}};
        host::VirtualClock clock;
        ScriptVariables variables{book, nullptr, clock};
        links.Build(group, variables);
        links.DrawLinks(layer);
        return (links.RectOf(0).bottom - 20) / links.Layout().skip;
    };
    EXPECT_EQ(linesOf(false), 2);  // "abcdefgh i", "j abcdefgh"
    EXPECT_EQ(linesOf(true), 3);   // "abcdefgh", "ij", "abcdefgh"
}

int LastCommandOf(const script::TagRecord& record) {
    int command = 0;
    record.GetCommand(command);
    return command;
}

/// A book read with the setting on, in a window ten half-width cells wide and two lines high.
class WrapReading : public ::testing::Test {
  protected:
    void SetUp() override {
        InterpreterServices services = rig.Services(clicks);
        services.readSettings = [this](EngineSettings& settings) { settings = engine; };
        services.onTypeText = [this](std::string_view text) { typed.emplace_back(text); };
        interpreter = std::make_unique<Interpreter>(std::move(services));
        engine.wrapAtSpaces = 1;
        TextLayout measuring;
        ASSERT_NE(measuring.font, nullptr);
        cell = measuring.font->Measure("a").width;
    }

    /// Opens the book text after a SCREEN of `lines` lines and runs it to its first wait.
    int Read(const std::string& text, int lines = 2) {
        const std::string screen = "<SCREEN LEFT=\"20\" TOP=\"20\" WIDTH=\"" +
                                   std::to_string(9 * cell + 27) + "\" HEIGHT=\"" +
                                   std::to_string((lines - 1) * 30 + 27) + "\">";
        EXPECT_TRUE(interpreter->Open(rig.WriteBook(screen + text)));
        for (int i = 0; i < 100; ++i) {
            last.Clear();
            if (const int result = interpreter->Step(last); result != step::kGoOn) {
                return result;
            }
        }
        return step::kGoOn;
    }

    PenPoint Pen() { return test::Pen(interpreter->Window().Layout()); }
    int Column(int n) const { return 20 + n * cell; }

    test::InterpreterRig rig;
    ClickFlags clicks{};
    EngineSettings engine;
    std::unique_ptr<Interpreter> interpreter;
    std::vector<std::string> typed;
    script::TagRecord last;
    int cell = 0;
};

TEST_F(WrapReading, AWordMovesBeforeItsFirstLetterWhenItGoesOnAfterAColourOrAWrite) {
    // "gh" alone fits on the first line; with "ij" after the colour change it would break.
    EXPECT_EQ(Read("abcdef gh<FONT COLOR=\"#FF0000\">ij</FONT><W>"), step::kClickWait);
    EXPECT_EQ(Pen(), (PenPoint{Column(4), 50}));  // "ghij" on the second line
    EXPECT_EQ(typed.front(), "abcdef gh");

    interpreter->Variables().Variables().Set("v", "hij");
    EXPECT_EQ(Read("abcdef g<<v>><W>"), step::kClickWait);
    EXPECT_EQ(Pen(), (PenPoint{Column(4), 50}));
    // A pause inside the word waits with the word already on the next line.
    EXPECT_EQ(Read("abcdef gh<W>ij<W>"), step::kClickWait);
    EXPECT_EQ(Pen(), (PenPoint{Column(2), 50}));

    engine.wrapAtSpaces = 0;  // off: the word breaks where the margin meets it
    EXPECT_EQ(Read("abcdef gh<FONT COLOR=\"#FF0000\">ij</FONT><W>"), step::kClickWait);
    EXPECT_EQ(Pen(), (PenPoint{Column(1), 50}));  // "j"
}

TEST_F(WrapReading, TheRestOfAWordIsMeasuredInItsOwnFont) {
    EXPECT_EQ(Read("abcdef gh<W>"), step::kClickWait);
    EXPECT_EQ(Pen().y, 20);
    // A bigger "h" needs a taller, so wider, square than the line has left.
    EXPECT_EQ(Read("abcdef g<FONT SIZE=\"+20\">h</FONT><W>"), step::kClickWait);
    EXPECT_EQ(Pen().y, 50);
}

TEST_F(WrapReading, ThePageFullWaitComesBeforeAMovedWord) {
    EXPECT_EQ(Read("abcdef gh<FONT COLOR=\"#FF0000\">ij</FONT><P>", 1), step::kPageWait);
    EXPECT_EQ(LastCommandOf(last), script::kw::kText);  // the run itself filled the page
    EXPECT_EQ(last.AttributeText(script::kw::kLeft), "20");
    EXPECT_EQ(last.AttributeText(script::kw::kTop), "20");
    for (int i = 0; i < 3; ++i) {  // the new page, the rest of the run, the colour
        last.Clear();
        EXPECT_EQ(interpreter->Step(last), step::kGoOn);
    }
    EXPECT_EQ(typed.back(), "gh");
    EXPECT_EQ(Pen(), (PenPoint{Column(2), 20}));
}

}  // namespace
}  // namespace talu::interp
