#include "frontend/qt/desktop_settings.h"

#include <algorithm>

namespace talu::qt {
namespace {

constexpr std::string_view kSystem = "SYSTEM";
constexpr std::array<std::string_view, 4> kWebKeys = {"WebNewVersion", "WebBooks", "WebBoard",
                                                      "WebRanking"};

}  // namespace

void DesktopSettings::Read(const app::SettingsStore& store) {
    fullScreen = store.ReadInt(kSystem, "FullScreen").value_or(fullScreen) != 0 ? 1 : 0;
    windowScale = std::clamp(store.ReadInt(kSystem, "WindowScale").value_or(windowScale), 1, 3);
    smoothScaling = store.ReadInt(kSystem, "SmoothScaling").value_or(smoothScaling) != 0 ? 1 : 0;
    askDisplayMode = store.ReadInt(kSystem, "AskDisplayMode").value_or(askDisplayMode) != 0 ? 1 : 0;
    for (std::size_t i = 0; i < kWebKeys.size(); ++i) {
        webAddresses[i] = store.ReadString(kSystem, kWebKeys[i]).value_or(webAddresses[i]);
    }
}

void DesktopSettings::Write(app::SettingsStore& store) const {
    store.WriteInt(kSystem, "FullScreen", fullScreen);
    store.WriteInt(kSystem, "WindowScale", windowScale);
    store.WriteInt(kSystem, "SmoothScaling", smoothScaling);
    store.WriteInt(kSystem, "AskDisplayMode", askDisplayMode);
    for (std::size_t i = 0; i < kWebKeys.size(); ++i) {
        store.WriteString(kSystem, kWebKeys[i], webAddresses[i]);
    }
}

}  // namespace talu::qt
