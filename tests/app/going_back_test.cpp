// Going back to a page of the backlog. (A slot's log read back, damaged or whole, is
// backlog_test's and run/backlogslot's.)
#include <gtest/gtest.h>

#include "session_rig.h"

namespace talu::app {
namespace {

std::vector<std::string> Texts(const Backlog& backlog) {
    std::vector<std::string> texts;
    for (const BacklogEntry& entry : backlog.Entries()) {
        texts.push_back(entry.text);
    }
    return texts;
}

std::string Memo(interp::MemoStore& memo, const char* name) {
    std::string value = "<none>";
    memo.Lookup(name, value);
    return value;
}

TEST_F(PlayerTest, GoingBackRestoresThePageButNotTheBookMemo) {
    Open(
        "<A HREF=\"#x\" ANSWER=\"(n=1)\"><A NAME=\"x\">one<P>"
        "<A HREF=\"#y\" ANSWER=\"(n=2)\"><A NAME=\"y\"><MEMO SRC=\"n\" DEST=\"BOOK\">"
        "<MEMO SRC=\"n\" DEST=\"BOOKMARK\">two<P>three<P>");
    ClickAndWait();
    ClickAndWait();
    Backlog& backlog = session->GetBacklog();
    ASSERT_EQ(Texts(backlog), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(session->ReturnToPage(7));  // no such page: nothing changes
    EXPECT_EQ(backlog.Size(), 3u);

    ASSERT_TRUE(session->ReturnToPage(1));
    interp::Interpreter& back = *session->GetInterpreter();
    EXPECT_EQ(back.Variables().Variables().Find("n"), "1");
    EXPECT_EQ(Memo(back.Variables().BookmarkMemo(), "n"), "<none>");  // as the page began
    EXPECT_EQ(Memo(back.Variables().BookMemo(), "n"), "2");           // shared with other readings
    EXPECT_EQ(Texts(backlog), (std::vector<std::string>{"one"}));
    // A save now keeps the page's start.
    EXPECT_TRUE(session->Bookmarks().HasSavePoint());
    session->StartRestored();
    player.WaitForWorker();
    EXPECT_EQ(Texts(backlog), (std::vector<std::string>{"one", "two"}));
    EXPECT_NE(backlog.SavePointOf(1), nullptr);  // the page returned to can be returned to again
    EXPECT_TRUE(shell.boxes.empty());
}

}  // namespace
}  // namespace talu::app
