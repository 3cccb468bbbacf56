#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "app/media_listener.h"
#include "host/audio/audio_device.h"
#include "host/audio/stereo_pcm.h"
#include "stage/plugin_list.h"

namespace talu::app {

/// A SOUND tag as the interpreter hands it over.
struct SoundRequest {
    /// /SOUND: every effect stops.
    bool closing = false;
    /// SRC as written, for messages and traces.
    std::string source;
    /// The file's inside path (FOLDER applied).
    std::string path;
    /// LOOP: plays; 0 loops until /SOUND; absent 1.
    int loop = 1;
    /// MODE=PASS: the book does not wait.
    bool pass = false;
};

/// What the effects need around them; the references outlive them.
struct SoundEffectServices {
    host::AudioDevice* device = nullptr;
    const stage::PluginList* plugins = nullptr;
    /// Optional.
    MediaListener* listener = nullptr;
    /// Shows a box (CP932) and returns when it is closed.
    std::function<void(const std::string&)> showBox;
    std::function<int()> langMode;
    /// m_nUsePCM: effects switched on.
    std::function<bool()> enabled;
};

/// The effects of one book: up to kChannels at once, each decoded whole (P16 and PCM WAVE by
/// our own reader, other formats by SDL2_mixer; archive members from memory). A waited-for
/// effect blocks the calling worker until it ends, without polling.
class SoundEffects {
  public:
    explicit SoundEffects(SoundEffectServices services);

    /// The book folder relative paths resolve against.
    void SetBookFolder(std::string folder);
    /// Performs a SOUND tag; false when it was not played (effects off, no device, all
    /// channels busy), which leaves the tag to the run loop.
    bool Play(const SoundRequest& request);
    /// Stops and frees every effect.
    void StopAll();

    /// Decodes an effect file into the mixing format; nullopt when it fails our own checks, is
    /// longer than the device's kMaxSoundMs, is damaged or no decoder takes it.
    static std::optional<host::StereoPcm> Decode(std::string_view path,
                                                 std::span<const std::uint8_t> bytes,
                                                 host::AudioDevice& device);

  private:
    void ShowCannotOpen(const std::string& source);

    SoundEffectServices services_;
    std::string bookFolder_;
};

}  // namespace talu::app
