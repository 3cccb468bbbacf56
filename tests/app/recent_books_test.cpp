// Recent Books: newest first, eight at most, missing files dropped, and what is stored comes
// back the same (names with no CP932 form too).
#include "app/recent_books.h"

#include <gtest/gtest.h>

#include "app/ini_settings_store.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

using Paths = std::vector<std::filesystem::path>;

TEST(RecentBooks, NewestFirstEightAtMostAndTheMissingDropped) {
    test::TempFolder dir;
    RecentBooks recent;
    Paths f;
    for (int i = 0; i < 10; ++i) {
        f.push_back(dir.Write(std::to_string(i) + ".talu", "x"));
        recent.Opened(f.back());
    }
    recent.Opened(dir.Path() / "sub" / ".." / "5.talu");  // the same file, spelt otherwise
    EXPECT_EQ(recent.Entries(), (Paths{f[5], f[9], f[8], f[7], f[6], f[4], f[3], f[2]}));
    std::filesystem::remove(f[9]);
    std::filesystem::remove(f[2]);
    EXPECT_EQ(recent.Existing(), (Paths{f[5], f[8], f[7], f[6], f[4], f[3]}));
}

TEST(RecentBooks, WhatIsStoredReadsBackAndAShorterListForgetsTheRest) {
    IniSettingsStore store;
    const Paths books = {"/r/\xE6\x9C\xAC.talu", "/r/caf\xC3\xA9 100%.zip", "/tmp/a.lzh"};
    RecentBooks recent;
    for (auto it = books.rbegin(); it != books.rend(); ++it) {
        recent.Opened(*it);
    }
    recent.Write(store);
    RecentBooks again;
    again.Read(store);
    EXPECT_EQ(again.Entries(), books);
    RecentBooks shorter;
    shorter.Opened("/tmp/only.talu");
    shorter.Write(store);
    store.WriteString("SYSTEM", "RecentBook3", "relative.talu");  // junk is skipped
    store.WriteString("SYSTEM", "RecentBook4", "file://%4");
    again.Read(store);
    EXPECT_EQ(again.Entries(), Paths{"/tmp/only.talu"});
}

}  // namespace
}  // namespace talu::app
