#include "interp/link_set.h"

#include <gtest/gtest.h>

#include <string>

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

    static std::pair<int, int> Centre(const stage::Rect& r) {
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
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
    EXPECT_EQ(links.Text(0), "yes");
    EXPECT_EQ(links.Text(1), "later");

    links.DrawLinks(stage);
    const auto [x, y] = Centre(links.RectOf(1));
    EXPECT_TRUE(links.Hover(x, y, stage));
    EXPECT_FALSE(links.Hover(x, y, stage));  // no change, no redraw
    script::TagRecord chosen;
    ASSERT_TRUE(links.Take(chosen));
    EXPECT_EQ(chosen.FindAttribute(kw::kHref), "#l");
    EXPECT_EQ(chosen.FindAttribute(kw::kAlt), "later");
    EXPECT_EQ(chosen.FindAttribute(kw::kAnswer), "said_later");
    EXPECT_EQ(links.Count(), 0);
    EXPECT_EQ(links.Highlighted(), -1);
    EXPECT_FALSE(links.Take(chosen));
}

TEST_F(LinkSetTest, ADisabledLinkIsGreyAndNeverHighlighted) {
    links.Build(Group("<A HREF=\"#a\" ALT=\"Open\"><A HREF=\"#b\" ALT=\"Shut\" ENABLE=\"no\">"),
                variables);
    ASSERT_EQ(links.Count(), 2);
    EXPECT_TRUE(links.Enabled(0));
    EXPECT_FALSE(links.Enabled(1));
    links.DrawLinks(stage);
    const stage::Rect shut = links.RectOf(1);
    EXPECT_GT(Count(shut, kLinkColour), 0);

    auto [x, y] = Centre(shut);
    EXPECT_FALSE(links.Hover(x, y, stage));
    EXPECT_EQ(links.Highlighted(), -1);
    EXPECT_EQ(Count(shut, kHighlightedLinkColour), 0);
    script::TagRecord chosen;
    EXPECT_FALSE(links.Take(chosen));

    std::tie(x, y) = Centre(links.RectOf(0));
    EXPECT_TRUE(links.Hover(x, y, stage));
    EXPECT_GT(Count(links.RectOf(0), kHighlightedLinkColour), 0);
    EXPECT_TRUE(links.Hover(-5, -5, stage));  // off every link: the highlight goes
    EXPECT_EQ(links.Highlighted(), -1);
    EXPECT_EQ(Count(links.RectOf(0), kHighlightedLinkColour), 0);
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

TEST_F(LinkSetTest, LinksBelowTheWindowAreNotDrawn) {
    links.Layout().SetWindow(20, 20, 560, 80);  // room for two lines of 30
    links.Build(
        Group("<A HREF=\"#a\" ALT=\"1\"><A HREF=\"#b\" ALT=\"2\"><A HREF=\"#c\" ALT=\"3\">"),
        variables);
    links.DrawLinks(stage);
    EXPECT_FALSE(links.RectOf(0).IsEmpty());
    EXPECT_FALSE(links.RectOf(1).IsEmpty());
    EXPECT_TRUE(links.RectOf(2).IsEmpty());
    EXPECT_FALSE(links.Hover(100, 95, stage));  // where the third would have gone
}

TEST_F(LinkSetTest, AFirstLinkWithoutTextIsTakenAtOnce) {
    links.Build(Group("<A HREF=\"#x\" ANSWER=\"went\"><A HREF=\"#y\" ALT=\"later\">"), variables);
    script::TagRecord chosen;
    ASSERT_TRUE(links.ResolveAtOnce(chosen));
    EXPECT_EQ(chosen.FindAttribute(kw::kHref), "#x");
    EXPECT_EQ(chosen.FindAttribute(kw::kAnswer), "went");

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
    const auto [x, y] = Centre(links.RectOf(kMaxLinks - 1));
    EXPECT_TRUE(links.Hover(x, y, stage));
    script::TagRecord chosen;
    ASSERT_TRUE(links.Take(chosen));
    EXPECT_EQ(chosen.FindAttribute(kw::kHref), "#t99");
}

}  // namespace
}  // namespace talu::interp
