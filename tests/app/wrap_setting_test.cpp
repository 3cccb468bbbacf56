#include <gtest/gtest.h>

#include "app/ini_settings_store.h"
#include "app/settings.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

TEST(WrapSetting, OffUntilTheReaderTurnsItOnAndKeptOnceWritten) {
    test::TempFolder dir;
    IniSettingsStore store;
    ASSERT_TRUE(store.Load(dir.Path() / "talu.ini"));  // no file yet
    Settings settings;
    settings.Read(store, "Z:\\p\\");
    EXPECT_EQ(settings.wrapAtSpaces, 0);
    settings.wrapAtSpaces = 1;
    settings.Write(store);
    ASSERT_TRUE(store.Save());

    IniSettingsStore again;
    ASSERT_TRUE(again.Load(dir.Path() / "talu.ini"));
    EXPECT_EQ(again.ReadInt("SYSTEM", "WrapLatinAtSpaces"), 1);
    Settings read;
    read.Read(again, "Z:\\p\\");
    EXPECT_EQ(read.wrapAtSpaces, 1);
}

}  // namespace
}  // namespace talu::app
