#include "app/settings.h"

namespace talu::app {
namespace {

constexpr std::string_view kEffect = "EFFECT";
constexpr std::string_view kSystem = "SYSTEM";

void ReadPaired(const SettingsStore& store, std::string_view key, PairedSetting& setting) {
    setting.Set(store.ReadInt(kEffect, key).value_or(setting.current.load()));
}

void ReadSingle(const SettingsStore& store, std::string_view group, std::string_view key,
                std::atomic<int>& setting) {
    setting.store(store.ReadInt(group, key).value_or(setting.load()));
}

}  // namespace

void Settings::Read(const SettingsStore& store, const std::string& dataFolder) {
    ReadPaired(store, "m_nCharWait", charWait);
    ReadPaired(store, "m_nTextWait", textWait);
    ReadPaired(store, "m_nBackWait", backWait);
    ReadPaired(store, "m_nFadeWait", fadeWait);
    ReadSingle(store, kEffect, "m_nBright", bright);
    ReadSingle(store, kEffect, "m_nJpeg", jpeg);
    ReadPaired(store, "m_nUseCD", useCD);
    ReadPaired(store, "m_nUsePCM", usePCM);
    ReadSingle(store, kEffect, "m_nUseAntiAlias", useAntiAlias);
    ReadPaired(store, "m_nAllowCommand", allowCommand);
    ReadPaired(store, "m_nCharEffect", charEffect);
    ReadPaired(store, "m_nTextEffect", textEffect);
    ReadPaired(store, "m_nBackEffect", backEffect);
    ReadPaired(store, "m_nFadeEffect", fadeEffect);
    ReadSingle(store, kEffect, "m_nBrightEffect", brightEffect);
    ReadSingle(store, kEffect, "m_nUseGpx", useGpx);
    ReadSingle(store, kEffect, "m_iWindowTop", windowTop);
    ReadSingle(store, kEffect, "m_iWindowLeft", windowLeft);
    bookmarkFolder =
        store.ReadString(kEffect, "m_BookmarkFolderOnArchive").value_or(bookmarkFolder);
    soundFont = store.ReadString(kSystem, "SoundFont").value_or(soundFont);
    if (bookmarkFolder.empty()) {
        bookmarkFolder = dataFolder + "bookmark\\";
    }
    ReadSingle(store, kSystem, "m_iLangMode", langMode);
}

void Settings::Write(SettingsStore& store) const {
    store.WriteInt(kEffect, "m_nCharWait", charWait.user.load());
    store.WriteInt(kEffect, "m_nTextWait", textWait.user.load());
    store.WriteInt(kEffect, "m_nBackWait", backWait.user.load());
    store.WriteInt(kEffect, "m_nFadeWait", fadeWait.user.load());
    store.WriteInt(kEffect, "m_nBright", bright.load());
    store.WriteInt(kEffect, "m_nJpeg", jpeg.load());
    store.WriteInt(kEffect, "m_nUseCD", useCD.user.load());
    store.WriteInt(kEffect, "m_nUsePCM", usePCM.user.load());
    store.WriteInt(kEffect, "m_nAllowCommand", allowCommand.user.load());
    store.WriteInt(kEffect, "m_nUseAntiAlias", useAntiAlias.load());
    store.WriteInt(kEffect, "m_nCharEffect", charEffect.current.load());
    store.WriteInt(kEffect, "m_nTextEffect", textEffect.current.load());
    store.WriteInt(kEffect, "m_nBackEffect", backEffect.current.load());
    store.WriteInt(kEffect, "m_nFadeEffect", fadeEffect.current.load());
    store.WriteInt(kEffect, "m_nBrightEffect", brightEffect.load());
    store.WriteInt(kEffect, "m_nUseGpx", useGpx.load());
    store.WriteInt(kEffect, "m_iWindowTop", windowTop.load());
    store.WriteInt(kEffect, "m_iWindowLeft", windowLeft.load());
    store.WriteString(kEffect, "m_BookmarkFolderOnArchive", bookmarkFolder);
    store.WriteInt(kSystem, "m_iLangMode", langMode.load());
}

}  // namespace talu::app
