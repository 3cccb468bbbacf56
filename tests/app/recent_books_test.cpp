// The Recent Books list: newest first, eight at most, missing files dropped, and what is written
// to the settings reads back the same.
#include "app/recent_books.h"

#include <gtest/gtest.h>

#include <map>

#include "support/temp_folder.h"

namespace talu::app {
namespace {

using Paths = std::vector<std::filesystem::path>;

class MemoryStore : public SettingsStore {
  public:
    std::optional<int> ReadInt(std::string_view, std::string_view) const override {
        return std::nullopt;
    }
    std::optional<std::string> ReadString(std::string_view group,
                                          std::string_view key) const override {
        auto it = values.find(std::string(group) + "/" + std::string(key));
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    void WriteInt(std::string_view, std::string_view, int) override {}
    void WriteString(std::string_view group, std::string_view key,
                     std::string_view value) override {
        values[std::string(group) + "/" + std::string(key)] = std::string(value);
    }
    std::map<std::string, std::string> values;
};

TEST(RecentBooks, NewestFirstEachOnceAndEightAtMost) {
    test::TempFolder dir;
    RecentBooks recent;
    Paths files;
    for (int i = 0; i < 10; ++i) {
        files.push_back(dir.Write("b" + std::to_string(i) + ".talu", "x"));
        recent.Opened(files.back());
    }
    recent.Opened(dir.Path() / "sub" / ".." / "b5.talu");  // the same file, spelt otherwise
    const Paths expected = {files[5], files[9], files[8], files[7],
                            files[6], files[4], files[3], files[2]};
    EXPECT_EQ(recent.Entries(), expected);

    std::filesystem::remove(files[9]);
    std::filesystem::remove(files[2]);
    const Paths left = {files[5], files[8], files[7], files[6], files[4], files[3]};
    EXPECT_EQ(recent.Existing(), left);
    EXPECT_EQ(recent.Entries(), left);  // dropped for good, so they are not stored again
}

TEST(RecentBooks, WhatIsStoredReadsBackAndAShorterListForgetsTheRest) {
    MemoryStore store;
    RecentBooks recent;
    // A name with no CP932 form must come back whole too.
    const Paths books = {"/home/r/\xE6\x9C\xAC/tale.talu", "/home/r/caf\xC3\xA9 100%.zip",
                         "/tmp/a.lzh"};
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
    again.Read(store);
    EXPECT_EQ(again.Entries(), Paths{"/tmp/only.talu"});
}

TEST(RecentBooks, StoredJunkIsSkipped) {
    MemoryStore store;
    store.values = {{"SYSTEM/RecentBook1", "relative/book.talu"},
                    {"SYSTEM/RecentBook2", "/a.talu"},
                    {"SYSTEM/RecentBook3", "file://%4"},
                    {"SYSTEM/RecentBook4", "/a.talu"},
                    {"SYSTEM/RecentBook5", ""},
                    {"SYSTEM/RecentBook6", "file:///b%20c.zip"},
                    {"SYSTEM/RecentBook9", "/beyond.talu"}};
    RecentBooks recent;
    recent.Read(store);
    EXPECT_EQ(recent.Entries(), (Paths{"/a.talu", "/b c.zip"}));
}

}  // namespace
}  // namespace talu::app
