#include "app/settings.h"

#include <algorithm>

#include "host/encoding.h"
#include "host/paths.h"

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

void ReadPercent(const SettingsStore& store, std::string_view key, std::atomic<int>& setting) {
    setting.store(std::clamp(store.ReadInt(kSystem, key).value_or(setting.load()), 0, 100));
}

// The bookmark folder is stored as the reader sees and types it, a host path; a folder stored
// in the inside form, as earlier versions did, or on another drive, is read as it is.
std::string StoredFolder(const std::string& inside) {
    const std::optional<std::filesystem::path> native = host::HostPathFromInside(inside);
    return native ? host::Utf8ToCp932(native->string()) : inside;
}

std::string InsideFolder(const std::string& stored) {
    if (stored.empty() || stored.front() != '/') {
        return stored;
    }
    std::string inside = host::InsidePathFromHost(host::Cp932ToUtf8(stored));
    if (inside.back() != '\\') {
        inside += '\\';
    }
    return inside;
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
    bookmarkFolder = InsideFolder(
        store.ReadString(kEffect, "m_BookmarkFolderOnArchive").value_or(bookmarkFolder));
    soundFont = store.ReadString(kSystem, "SoundFont").value_or(soundFont);
    if (bookmarkFolder.empty()) {
        bookmarkFolder = dataFolder + "bookmark\\";
    }
    ReadSingle(store, kSystem, "m_iLangMode", langMode);
    ReadPercent(store, "MusicVolume", musicVolume);
    ReadPercent(store, "SoundVolume", soundVolume);
    ReadSingle(store, kSystem, "MuteInBackground", muteInBackground);
    ReadSingle(store, kSystem, "SkipUnread", skipUnread);
    ReadSingle(store, kSystem, "AutoPace", autoPace);
    ReadSingle(store, kSystem, "WrapLatinAtSpaces", wrapAtSpaces);
    // A stored pace out of the slider's range (a hand-edited file) would read on at once or
    // never.
    if (autoPace.load() < 0 || autoPace.load() > kMaxAutoPace) {
        autoPace = kDefaultAutoPace;
    }
    readAlong.Read(store);
    inputs.Read(store);
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
    store.WriteString(kEffect, "m_BookmarkFolderOnArchive", StoredFolder(bookmarkFolder));
    store.WriteInt(kSystem, "m_iLangMode", langMode.load());
    store.WriteInt(kSystem, "MusicVolume", musicVolume.load());
    store.WriteInt(kSystem, "SoundVolume", soundVolume.load());
    store.WriteInt(kSystem, "MuteInBackground", muteInBackground.load());
    store.WriteInt(kSystem, "SkipUnread", skipUnread.load());
    store.WriteInt(kSystem, "AutoPace", autoPace.load());
    store.WriteInt(kSystem, "WrapLatinAtSpaces", wrapAtSpaces.load());
    readAlong.Write(store);
    inputs.Write(store);
}

}  // namespace talu::app
