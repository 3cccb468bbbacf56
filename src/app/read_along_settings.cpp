#include "app/read_along_settings.h"

namespace talu::app {
namespace {

constexpr std::string_view kSystem = "SYSTEM";

int ReadSwitch(const SettingsStore& store, std::string_view key, int current) {
    return store.ReadInt(kSystem, key).value_or(current) != 0 ? 1 : 0;
}

}  // namespace

void ReadAlongSettings::Read(const SettingsStore& store) {
    copyToClipboard = ReadSwitch(store, "CopyPageText", copyToClipboard);
    readAloud = ReadSwitch(store, "ReadAloud", readAloud);
    textFeed = ReadSwitch(store, "TextFeed", textFeed);
    const int port = store.ReadInt(kSystem, "TextFeedPort").value_or(textFeedPort);
    // A port no socket can take would leave the feed silently dead; the default works.
    textFeedPort = port >= 1 && port <= 65535 ? port : kDefaultFeedPort;
}

void ReadAlongSettings::Write(SettingsStore& store) const {
    store.WriteInt(kSystem, "CopyPageText", copyToClipboard);
    store.WriteInt(kSystem, "ReadAloud", readAloud);
    store.WriteInt(kSystem, "TextFeed", textFeed);
    store.WriteInt(kSystem, "TextFeedPort", textFeedPort);
}

}  // namespace talu::app
