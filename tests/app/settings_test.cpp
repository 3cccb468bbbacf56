#include "app/settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/ini_settings_store.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

TEST(Settings, ReadsBothCopiesAndSkipsWhatItCannotRead) {
    test::TempFolder dir;
    auto path = dir.Write("talu.ini",
                          "; the reader's settings\n[EFFECT]\nm_nTextWait = 10\nm_nJpeg=abc\n"
                          "m_nCharEffect=0\nbroken line\nm_BookmarkFolderOnArchive=Z:\\saves\\\n"
                          "[SYSTEM]\nm_iLangMode=1\n");
    IniSettingsStore store;
    ASSERT_TRUE(store.Load(path));
    Settings settings;
    settings.Read(store, "Z:\\p\\");
    EXPECT_EQ(settings.textWait.user, 10);
    EXPECT_EQ(settings.textWait.current, 10);
    EXPECT_EQ(settings.jpeg, 70);  // not a number: the default stays
    EXPECT_EQ(settings.charEffect.current, 0);
    EXPECT_EQ(settings.bookmarkFolder, "Z:\\saves\\");
    EXPECT_EQ(settings.langMode, 1);
}

TEST(Settings, FirstStartTakesTheDefaultsAndWritesUserSpeedsAndCurrentEffectSwitches) {
    test::TempFolder dir;
    IniSettingsStore store;
    ASSERT_TRUE(store.Load(dir.Path() / "talu.ini"));  // no file yet
    Settings settings;
    settings.Read(store, "Z:\\p\\");
    const std::vector<int> defaults{settings.charWait.current, settings.textWait.user,
                                    settings.backWait.current, settings.fadeWait.current,
                                    settings.bright,           settings.jpeg,
                                    settings.useCD.current,    settings.allowCommand.current,
                                    settings.windowTop,        settings.langMode,
                                    settings.skipUnread,       settings.autoPace};
    EXPECT_EQ(defaults, (std::vector<int>{40, 50, 50, 50, 50, 70, 1, 1, 0, 0, 0, 40}));
    settings.textWait.current = 0;  // fast-forward changes only the current copy
    settings.textEffect.current = 0;
    settings.langMode = 1;
    settings.skipUnread = 1;
    settings.autoPace = 90;
    settings.Write(store);
    ASSERT_TRUE(store.Save());

    IniSettingsStore again;
    ASSERT_TRUE(again.Load(dir.Path() / "talu.ini"));
    EXPECT_EQ(again.ReadInt("EFFECT", "m_nTextWait"), 50);
    EXPECT_EQ(again.ReadInt("EFFECT", "m_nTextEffect"), 0);
    EXPECT_EQ(again.ReadInt("SYSTEM", "m_iLangMode"), 1);
    // The bookmark folder defaults to one beside the program, stored as the host path the reader
    // sees, and read back in the inside form.
    EXPECT_EQ(again.ReadString("EFFECT", "m_BookmarkFolderOnArchive"), "/p/bookmark/");
    Settings read;
    read.Read(again, "Z:\\elsewhere\\");
    EXPECT_EQ(read.bookmarkFolder, "Z:\\p\\bookmark\\");
    EXPECT_EQ(read.skipUnread, 1);
    EXPECT_EQ(read.autoPace, 90);
    // A pace no slider offers (a hand-edited file) would read on at once or never.
    again.WriteInt("SYSTEM", "AutoPace", Settings::kMaxAutoPace + 1);
    read.Read(again, "Z:\\elsewhere\\");
    EXPECT_EQ(read.autoPace, Settings::kDefaultAutoPace);
}

TEST(IniSettingsStore, NumbersAreWholeIntegers) {
    IniSettingsStore store;
    store.WriteString("EFFECT", "a", "-12");
    store.WriteString("EFFECT", "b", "12px");
    store.WriteString("EFFECT", "c", "");
    store.WriteString("EFFECT", "d", "99999999999");
    EXPECT_EQ(store.ReadInt("EFFECT", "a"), -12);
    EXPECT_EQ(store.ReadInt("EFFECT", "b"), std::nullopt);
    EXPECT_EQ(store.ReadInt("EFFECT", "c"), std::nullopt);
    EXPECT_EQ(store.ReadInt("EFFECT", "d"), 2147483647);
    EXPECT_EQ(store.ReadInt("SYSTEM", "a"), std::nullopt);
    EXPECT_FALSE(IniSettingsStore().Save());  // nowhere to write
}

}  // namespace
}  // namespace talu::app
