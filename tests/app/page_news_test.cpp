#include "app/page_news.h"

#include <gtest/gtest.h>

#include "app/ini_settings_store.h"
#include "app/read_along_settings.h"

namespace talu::app {
namespace {

TEST(PageNews, HandsOnWhatIsNewOnAPageThenItsLinksAndNothingTwice) {
    PageNews news;
    // A line wait, then the rest of the page, then its links: each part once.
    EXPECT_EQ(news.Next({"「やあ」\n", {}}), "「やあ」");
    EXPECT_EQ(news.Next({"「やあ」\nどこへ?", {}}), "どこへ?");
    EXPECT_EQ(news.Next({"「やあ」\nどこへ?", {"森", "川"}}), "森\n川");
    EXPECT_EQ(news.Next({"「やあ」\nどこへ?", {"森", "川"}}), "");
    // A new page is handed on whole; one of nothing but blanks brings nothing.
    EXPECT_EQ(news.Next({"Next page.\nTwo lines.", {}}), "Next page.\nTwo lines.");
    EXPECT_EQ(news.Next({" \n", {}}), "");
    EXPECT_EQ(news.Next({"Next page.", {"Go"}}), "Next page.\nGo");
    news.Forget();
    EXPECT_EQ(news.Next({"Next page.", {"Go"}}), "Next page.\nGo");
}

TEST(ReadAlongSettings, AreOffByDefaultAndWhatIsWrittenReadsBack) {
    IniSettingsStore store;
    ReadAlongSettings defaults;
    defaults.Read(store);
    EXPECT_EQ(defaults.copyToClipboard + defaults.readAloud + defaults.textFeed, 0);
    EXPECT_EQ(defaults.textFeedPort, 6677);
    ReadAlongSettings chosen;
    chosen.copyToClipboard = 1;
    chosen.textFeed = 1;
    chosen.textFeedPort = 49152;
    chosen.Write(store);
    ReadAlongSettings read;
    read.Read(store);
    EXPECT_EQ(read.copyToClipboard, 1);
    EXPECT_EQ(read.readAloud, 0);
    EXPECT_EQ(read.textFeed, 1);
    EXPECT_EQ(read.textFeedPort, 49152);
    for (const int port : {0, -1, 65536}) {  // no socket takes these: the default
        store.WriteInt("SYSTEM", "TextFeedPort", port);
        read.Read(store);
        EXPECT_EQ(read.textFeedPort, 6677);
    }
}

}  // namespace
}  // namespace talu::app
