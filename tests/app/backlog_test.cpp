#include "app/backlog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/backlog_file.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

std::shared_ptr<const PageSavePoint> PointAt(int index) {
    auto point = std::make_shared<PageSavePoint>();
    point->slot.positionIndex = index;
    return point;
}

TEST(Backlog, PagesComeInOrderAndTheLastHundredKeepTheirPlace) {
    Backlog backlog;
    for (int i = 0; i < 600; ++i) {
        backlog.PageStarted(PointAt(i));
        backlog.PageShown(ShownPage{"page " + std::to_string(i), {}});
        // A line wait on the same page shows more of it: still one entry.
        backlog.PageShown(ShownPage{"page " + std::to_string(i) + "\nmore", {"a", "b"}});
        backlog.LinkChosen("b");
    }
    ASSERT_EQ(backlog.Size(), Backlog::kMaxEntries);
    const std::vector<BacklogEntry> entries = backlog.Entries();
    EXPECT_EQ(entries.front(), (BacklogEntry{"page 100\nmore", "b"}));
    EXPECT_EQ(entries.back(), (BacklogEntry{"page 599\nmore", "b"}));
    EXPECT_EQ(backlog.SavePointOf(Backlog::kMaxEntries - 100)->slot.positionIndex, 500);
    EXPECT_EQ(backlog.SavePointOf(Backlog::kMaxEntries - 101), nullptr);

    backlog.ReturnTo(Backlog::kMaxEntries - 3);
    EXPECT_EQ(backlog.Size(), Backlog::kMaxEntries - 3);
    EXPECT_EQ(backlog.Entries().back().text, "page 596\nmore");
}

TEST(Backlog, ASlotKeepsThePagesBegunBeforeTheBookmarksPlace) {
    Backlog backlog;
    for (const char* text : {"one", "two"}) {
        backlog.PageStarted(nullptr);
        backlog.PageShown(ShownPage{text, {}});
    }
    backlog.MarkSavePoint(true);  // the P of "two"
    backlog.PageStarted(nullptr);
    backlog.MarkSavePoint(false);  // a BOOKMARK before "three" is typed: a load types it
    backlog.PageShown(ShownPage{"three", {}});
    EXPECT_EQ(backlog.SlotEntries(), (std::vector<BacklogEntry>{{"one", ""}, {"two", ""}}));
    backlog.Replace(backlog.SlotEntries());
    EXPECT_EQ(backlog.Size(), 2u);
    EXPECT_EQ(backlog.SavePointOf(0), nullptr);  // a slot's pages cannot be returned to
}

TEST(BacklogFile, WhatIsWrittenReadsBackTheSame) {
    const std::vector<BacklogEntry> entries = {{"first line\n\nthird line \xE3\x81\x82", "Left"},
                                               {"", ""},
                                               {"page\n| not a mark\n> nor this\npage", "> chosen"},
                                               {"\n", "x"}};
    EXPECT_EQ(ParseBacklog(FormatBacklog(entries)), entries);
    // What the reader would not take back is written so that it does.
    const std::string overlong(kMaxBacklogLineBytes + 10, 'w');
    const auto back = ParseBacklog(FormatBacklog({{"a\x01"
                                                   "b\rc\x7F",
                                                   ""},
                                                  {overlong, ""},
                                                  {"\xFF", ""}}));
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].text, "a b c ");
    EXPECT_EQ(back[1].text, overlong.substr(0, kMaxBacklogLineBytes - 2));
    EXPECT_EQ(back[2].text, "\xEF\xBF\xBD");
}

TEST(BacklogFile, DamagedOrHostileLogsGiveTheirGoodPagesOrNone) {
    const std::string good = FormatBacklog({{"one", "A"}, {"two", ""}, {"three", ""}});
    const auto texts = [](std::string_view bytes) {
        std::vector<std::string> out;
        for (const BacklogEntry& entry : ParseBacklog(bytes)) {
            out.push_back(entry.text);
        }
        return out;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(texts(good.substr(0, good.size() - 4)), (Texts{"one", "two", "th"}));  // truncated
    const std::size_t two = good.find("two");
    EXPECT_EQ(texts(good.substr(0, two) + "t\xC3(o" + good.substr(two + 3)), (Texts{"one"}));
    EXPECT_EQ(texts(good.substr(0, two) + std::string("t\0o", 3) + good.substr(two + 3)),
              (Texts{"one"}));
    EXPECT_EQ(texts(good.substr(0, two) + std::string(std::size_t{10} << 20, 'x')), (Texts{"one"}));
    EXPECT_EQ(texts(good.substr(0, two) + "two\nstray line\n"), (Texts{"one"}));
    EXPECT_EQ(texts("talu backlog 2\npage\n| one\n"), Texts{});
    EXPECT_EQ(texts(""), Texts{});
    EXPECT_EQ(texts("\xED\xA0\x80"), Texts{});  // a surrogate is no UTF-8

    test::TempFolder dir;
    dir.Write("big.log", "talu backlog 1\npage\n| " + std::string(kMaxBacklogFileBytes, 'x'));
    EXPECT_TRUE(ReadBacklogFile(dir.Inside("big.log")).empty());
    std::filesystem::create_directory(dir.Path() / "folder.log");
    EXPECT_TRUE(ReadBacklogFile(dir.Inside("folder.log")).empty());
    dir.Write("real.log", good);
    std::filesystem::create_symlink(dir.Path() / "real.log", dir.Path() / "link.log");
    EXPECT_TRUE(ReadBacklogFile(dir.Inside("link.log")).empty());
    EXPECT_EQ(ReadBacklogFile(dir.Inside("real.log")).size(), 3u);
}

}  // namespace
}  // namespace talu::app
