#include "interp/link_set.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "interp/interp_test_support.h"
#include "script/keywords.h"
#include "support/repeat.h"
#include "support/temp_folder.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

class LinkSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(stage.Create(640, 480, stage::PixelFormat::Rgb565()));
        stage.Fill(0);
        ASSERT_NE(links.Layout().font, nullptr);
    }

    /// The A tags of text folded into one group by the fetch step, the first text at (x, y).
    script::TagRecord Group(const std::string& text, int x = 20, int y = 20) {
        dir.Write("links.talu", text);
        EXPECT_TRUE(book.OpenPath(dir.Inside("links.talu")));
        script::TagRecord record;
        EXPECT_TRUE(book.FetchTag(record));
        record.AddAttribute(kw::kLeft, std::to_string(x));
        record.AddAttribute(kw::kTop, std::to_string(y));
        return record;
    }

    int Count(const stage::Rect& r, script::Colour colour) {
        return test::CountColour(stage, r, colour);
    }

    /// Hovers over the middle of link i.
    bool HoverOn(int i) {
        const stage::Rect r = links.RectOf(i);
        return links.Hover((r.left + r.right) / 2, (r.top + r.bottom) / 2, stage);
    }

    /// HREF, ALT and ANSWER of the link taken, or "none".
    std::string Take() {
        script::TagRecord chosen;
        if (!links.Take(chosen)) {
            return "none";
        }
        return chosen.AttributeText(kw::kHref) + "|" + chosen.AttributeText(kw::kAlt) + "|" +
               chosen.AttributeText(kw::kAnswer);
    }

    test::TempFolder dir;
    script::Book book{script::BookServices{}};
    host::VirtualClock clock;
    ScriptVariables variables{book, nullptr, clock};
    stage::Surface stage;
    LinkSet links;
};

TEST_F(LinkSetTest, ViewHidesALinkAndTheRestKeepTheirOwnTargets) {
    variables.Variables().Set("off", "0");
    links.Build(Group("<A HREF=\"#y\" ALT=\"yes\" ANSWER=\"said_yes\">"
                      "<A HREF=\"#n\" ALT=\"no\" ANSWER=\"said_no\" VIEW=\"off\">"
                      "<A HREF=\"#l\" ALT=\"later\" ANSWER=\"said_later\">"),
                variables);
    ASSERT_EQ(links.Count(), 2);
    EXPECT_EQ(std::tuple(links.Text(0), links.Text(1)), std::tuple("yes", "later"));
    links.DrawLinks(stage);
    EXPECT_TRUE(HoverOn(1));
    EXPECT_FALSE(HoverOn(1));  // no change, no redraw
    EXPECT_EQ(Take(), "#l|later|said_later");
    EXPECT_EQ(std::tuple(links.Count(), links.Highlighted()), std::tuple(0, -1));
    EXPECT_EQ(Take(), "none");
}

TEST_F(LinkSetTest, ADisabledLinkIsGreyAndNeverHighlighted) {
    links.Build(Group("<A HREF=\"#a\" ALT=\"Open\"><A HREF=\"#b\" ALT=\"Shut\" ENABLE=\"no\">"),
                variables);
    ASSERT_EQ(links.Count(), 2);
    EXPECT_EQ(std::tuple(links.Enabled(0), links.Enabled(1)), std::tuple(true, false));
    links.DrawLinks(stage);
    const stage::Rect shut = links.RectOf(1);
    EXPECT_GT(Count(shut, kLinkColour), 0);
    EXPECT_FALSE(HoverOn(1));
    EXPECT_EQ(links.Highlighted(), -1);
    EXPECT_EQ(Count(shut, kHighlightedLinkColour), 0);
    EXPECT_EQ(Take(), "none");

    EXPECT_TRUE(HoverOn(0));
    EXPECT_GT(Count(links.RectOf(0), kHighlightedLinkColour), 0);
    EXPECT_TRUE(links.Hover(-5, -5, stage));  // off every link: the highlight goes
    EXPECT_EQ(links.Highlighted(), -1);
    EXPECT_EQ(Count(links.RectOf(0), kHighlightedLinkColour), 0);
}

// The keys walk the links that can be chosen, round the ends, skipping a disabled one and one
// below the window, and draw the highlight exactly as hovering does.
TEST_F(LinkSetTest, TheKeysMoveTheHighlightAmongTheChoosableLinksAsHoveringDrawsIt) {
    links.Layout().SetWindow(20, 20, 560, 110);  // room for three lines of 30
    links.Build(Group("<A HREF=\"#a\" ALT=\"a\"><A HREF=\"#b\" ALT=\"b\" ENABLE=\"no\">"
                      "<A HREF=\"#c\" ALT=\"c\"><A HREF=\"#d\" ALT=\"d\">"),
                variables);
    links.DrawLinks(stage);
    ASSERT_TRUE(links.RectOf(3).IsEmpty());     // below the window
    EXPECT_FALSE(links.Hover(30, 125, stage));  // where it would have gone
    stage::Surface hovered;
    ASSERT_TRUE(HoverOn(2));
    ASSERT_TRUE(hovered.Create(640, 480, stage::PixelFormat::Rgb565()));
    ASSERT_TRUE(stage.CopyTo(stage.Bounds(), hovered, hovered.Bounds(), 0));
    ASSERT_TRUE(links.Hover(-5, -5, stage));

    std::string walked;
    for (int step : {+1, +1, +1, -1, -1}) {
        EXPECT_TRUE(links.MoveHighlight(step, stage));
        walked += std::to_string(links.Highlighted());
    }
    EXPECT_EQ(walked, "02020");
    EXPECT_TRUE(links.MoveHighlight(+1, stage));  // on c, as hovering over it drew it
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(stage.Row(y)[x], hovered.Row(y)[x]) << x << "," << y;
        }
    }
    ASSERT_TRUE(links.Hover(-5, -5, stage));
    EXPECT_TRUE(links.MoveHighlight(-1, stage));  // from none, up starts at the last
    EXPECT_EQ(links.Highlighted(), 2);
    EXPECT_EQ(Take(), "#c|c|");

    links.Build(Group("<A HREF=\"#a\" ALT=\"only\">"), variables);
    links.DrawLinks(stage);
    EXPECT_TRUE(links.MoveHighlight(-1, stage));
    EXPECT_FALSE(links.MoveHighlight(+1, stage));  // the one link stays highlighted
    links.Build(Group("<A HREF=\"#a\" ALT=\"off\" ENABLE=\"no\">"), variables);
    links.DrawLinks(stage);
    EXPECT_FALSE(links.MoveHighlight(+1, stage));
    EXPECT_EQ(links.Highlighted(), -1);
}

TEST_F(LinkSetTest, ALongLinkWrapsAtTheWindowsWidthNotItsRightEdge) {
    TextLayout& layout = links.Layout();
    layout.SetWindow(200, 20, 400, 440);  // right edge 600, width 400
    // Enough to pass 400 from x = 200, well short of the right edge.
    const int advance = layout.font->Measure("a").width;
    const std::string text = test::Repeat("a", (400 - 200) / advance + 2);
    links.Build(Group("<A HREF=\"#a\" ALT=\"" + text + "\"><A HREF=\"#b\" ALT=\"next\">", 200),
                variables);
    links.DrawLinks(stage);
    EXPECT_EQ(links.RectOf(0), (stage::Rect{200, 20, 600, 20 + 2 * layout.skip}));
    EXPECT_EQ(links.RectOf(1).top, 20 + 2 * layout.skip);
}

TEST_F(LinkSetTest, AFirstLinkWithoutTextIsTakenAtOnce) {
    links.Build(Group("<A HREF=\"#x\" ANSWER=\"went\"><A HREF=\"#y\" ALT=\"later\">"), variables);
    script::TagRecord chosen;
    ASSERT_TRUE(links.ResolveAtOnce(chosen));
    EXPECT_EQ(std::tuple(chosen.AttributeText(kw::kHref), chosen.AttributeText(kw::kAnswer)),
              std::tuple("#x", "went"));

    links.Build(Group("<A HREF=\"#y\" ALT=\"shown\">"), variables);
    script::TagRecord none;
    EXPECT_FALSE(links.ResolveAtOnce(none));
    EXPECT_TRUE(none.Empty());
}

TEST_F(LinkSetTest, AGroupShowsAtMostAHundredLinks) {
    std::string group;
    for (int i = 0; i < 150; ++i) {
        group += "<A HREF=\"#t" + std::to_string(i) + "\" ALT=\"link\">";
    }
    links.Layout().SetWindow(0, 0, 640, 100000);  // every one fits
    links.Build(Group(group, 0, 0), variables);
    ASSERT_EQ(links.Count(), kMaxLinks);
    links.DrawLinks(stage);
    EXPECT_TRUE(HoverOn(kMaxLinks - 1));
    EXPECT_EQ(Take(), "#t99|link|");
}

}  // namespace
}  // namespace talu::interp
