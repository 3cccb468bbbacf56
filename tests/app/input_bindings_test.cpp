#include "app/input_bindings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ini_settings_store.h"
#include "app/settings.h"
#include "support/temp_folder.h"

namespace talu::app {
namespace {

using Names = std::vector<std::string>;

// What the reader changed goes under KEYS and PAD, one entry per changed action, and reads
// back the same from the file (keys a separator or the desktop's store could break: the
// window's tests, through that store).
TEST(InputBindings, ChangedActionsAloneAreStoredAndReadBack) {
    test::TempFolder dir;
    IniSettingsStore store;
    ASSERT_TRUE(store.Load(dir.Path() / "talu.ini"));
    Settings settings;
    settings.inputs.SetKeys(ReaderAction::kSave, {"F5"});
    settings.inputs.SetKeys(ReaderAction::kSkip, {});
    settings.inputs.SetButtons(ReaderAction::kMenu, {"x", "start"});
    settings.Write(store);
    ASSERT_TRUE(store.Save());

    EXPECT_EQ(store.ReadString("KEYS", "Save"), "F5");
    EXPECT_EQ(store.ReadString("KEYS", "Skip"), "");  // none, which is not the default
    EXPECT_EQ(store.ReadString("PAD", "Menu"), "x | start");
    EXPECT_EQ(store.ReadString("KEYS", "Load"), std::nullopt);
    EXPECT_EQ(store.ReadString("PAD", "ReadOn"), std::nullopt);
    EXPECT_EQ(store.ReadInt("EFFECT", "m_nTextWait"), 50);  // the old groups as they were

    IniSettingsStore again;
    ASSERT_TRUE(again.Load(dir.Path() / "talu.ini"));
    Settings read;
    read.Read(again, "Z:\\p\\");
    EXPECT_EQ(read.inputs, settings.inputs);
    EXPECT_EQ(read.inputs.ActionForKey("F5"), ReaderAction::kSave);
    EXPECT_EQ(read.inputs.ActionForKey("Ctrl+S"), std::nullopt);

    // Back to the default: the entry goes, so a later default would reach it.
    read.inputs.SetKeys(ReaderAction::kSave, {"Ctrl+S"});
    read.inputs.Write(again);
    EXPECT_EQ(again.ReadString("KEYS", "Save"), std::nullopt);
    EXPECT_EQ(again.ReadString("PAD", "Menu"), "x | start");
}

// Hand-edited or damaged entries: what cannot be a name is dropped, an entry far too long is
// ignored whole, and an input stored for two actions stays with the first in list order.
TEST(InputBindings, HostileEntriesKeepWhatCanBeRead) {
    IniSettingsStore store;
    store.WriteString("KEYS", "Save",
                      "F5 | \x01"
                      "bad | " +
                          std::string(100, 'k') + " | %ZZ | %4 |  | F6 | F5 |  Lead");
    store.WriteString("KEYS", "Load", std::string(5000, 'x'));
    store.WriteString("KEYS", "Auto", "PgUp");    // the backlog's, which comes later
    store.WriteString("KEYS", "Quit", "Return");  // reading on's, which comes first
    store.WriteString("KEYS", "Close", "");
    store.WriteString("PAD", "ReadOn", "a | banana | a | b");
    std::string many;
    for (int i = 1; i <= 40; ++i) {
        many += (i > 1 ? " | F" : "F") + std::to_string(i);
    }
    store.WriteString("KEYS", "Open", many);

    InputBindings bindings;
    bindings.Read(store);
    EXPECT_EQ(bindings.Keys(ReaderAction::kSave), (Names{"F5", "F6"}));
    EXPECT_EQ(bindings.Keys(ReaderAction::kLoad), Names{"Ctrl+L"});
    EXPECT_EQ(bindings.Keys(ReaderAction::kAuto), Names{"PgUp"});
    EXPECT_TRUE(bindings.Keys(ReaderAction::kBacklog).empty());
    EXPECT_TRUE(bindings.Keys(ReaderAction::kQuit).empty());
    EXPECT_EQ(bindings.ActionForKey("Return"), ReaderAction::kReadOn);
    EXPECT_TRUE(bindings.Keys(ReaderAction::kClose).empty());
    EXPECT_EQ(bindings.Buttons(ReaderAction::kReadOn), (Names{"a", "b"}));
    EXPECT_TRUE(bindings.Buttons(ReaderAction::kMenu).empty());
    EXPECT_EQ(bindings.ActionForButton("b"), ReaderAction::kReadOn);
    // The first 16 are read; F5 and F6 stay the save's (earlier in the list), and F11 goes
    // from full screen (later) to the open.
    const Names& open = bindings.Keys(ReaderAction::kOpen);
    ASSERT_EQ(open.size(), 14u);
    EXPECT_EQ(open.front(), "F1");
    EXPECT_EQ(open.back(), "F16");
    EXPECT_EQ(bindings.ActionForKey("F5"), ReaderAction::kSave);
    EXPECT_EQ(bindings.Keys(ReaderAction::kFullScreen), Names{"Alt+Return"});

    // What survived writes and reads back the same.
    IniSettingsStore written;
    bindings.Write(written);
    InputBindings again;
    again.Read(written);
    EXPECT_EQ(again, bindings);
}

}  // namespace
}  // namespace talu::app
