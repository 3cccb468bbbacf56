#include "app/sound_effects.h"

#include "host/audio/audio_file_check.h"
#include "host/audio/pcm_convert.h"
#include "host/audio/wave_reader.h"
#include "script/messages.h"
#include "stage/archive_lookup.h"
#include "stage/extension_map.h"

namespace talu::app {

SoundEffects::SoundEffects(SoundEffectServices services) : services_(std::move(services)) {}

void SoundEffects::SetBookFolder(std::string folder) {
    bookFolder_ = std::move(folder);
}

std::optional<host::StereoPcm> SoundEffects::Decode(std::string_view path,
                                                    std::span<const std::uint8_t> bytes,
                                                    host::AudioDevice& device) {
    constexpr std::int64_t kMaxMs = host::AudioDevice::kMaxSoundMs;
    if (stage::ExtensionOf(path).value_or("") == "P16") {
        // 16-bit mono at 22050 per second.
        if (bytes.size() > static_cast<std::size_t>(kMaxMs / 1000 * 22050 * 2)) {
            return std::nullopt;
        }
        return host::ToStereo(host::ReadP16(bytes));
    }
    const host::AudioFileCheck check = host::CheckAudioFile(bytes);
    if (!check.Accepted() || check.durationMs > kMaxMs) {
        return std::nullopt;
    }
    const host::WaveResult wave = host::ReadWave(bytes);
    switch (wave.status) {
        case host::WaveStatus::kPcm:
            return host::ToStereo(wave.sound);
        case host::WaveStatus::kDamaged:
            return std::nullopt;
        case host::WaveStatus::kOtherCodec:
        case host::WaveStatus::kNotWave:
            break;
    }
    std::string problem;
    return device.Decode(bytes, problem);
}

void SoundEffects::ShowCannotOpen(const std::string& source) {
    std::string text;
    if (services_.showBox &&
        script::FormatScriptError(services_.langMode ? services_.langMode() : 0,
                                  script::err::kCannotOpenFile, text, source)) {
        services_.showBox(text);
    }
}

bool SoundEffects::Play(const SoundRequest& request) {
    if (services_.enabled && !services_.enabled()) {
        return false;
    }
    host::AudioDevice& device = *services_.device;
    if (!device.Available()) {
        return false;
    }
    if (request.closing) {
        StopAll();
        return true;
    }
    std::optional<stage::OpenedFile> file =
        stage::OpenPossiblyArchived(request.path, bookFolder_, *services_.plugins);
    if (!file) {
        ShowCannotOpen(request.source);
        return true;
    }
    int channel = 0;
    while (channel < host::AudioDevice::kChannels && device.SoundPlaying(channel)) {
        ++channel;
    }
    if (channel == host::AudioDevice::kChannels) {
        if (services_.listener != nullptr) {
            services_.listener->SoundsFull(request.source);
        }
        return false;
    }
    std::optional<host::StereoPcm> pcm = Decode(request.path, file->bytes, device);
    if (!pcm) {
        // A damaged file is told like a missing one; the book goes on.
        ShowCannotOpen(request.source);
        return true;
    }
    const int plays = request.loop < 0 ? 1 : request.loop;
    const bool wait = !request.pass && plays != 0;
    device.PlaySound(channel, std::make_shared<const host::StereoPcm>(std::move(*pcm)), plays);
    if (services_.listener != nullptr) {
        services_.listener->SoundPlayed(request.source, channel, plays, wait);
    }
    if (wait && device.WaitSound(channel) && services_.listener != nullptr) {
        services_.listener->SoundEnded(channel);
    }
    return true;
}

void SoundEffects::StopAll() {
    for (int channel = 0; channel < host::AudioDevice::kChannels; ++channel) {
        services_.device->StopSound(channel);
    }
    if (services_.listener != nullptr) {
        services_.listener->SoundsStopped();
    }
}

}  // namespace talu::app
