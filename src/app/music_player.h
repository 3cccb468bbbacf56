#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/media_listener.h"
#include "host/audio/audio_device.h"
#include "host/clock.h"
#include "stage/plugin_list.h"

namespace talu::app {

/// A BGM tag as the run loop reads it.
struct BgmRequest {
    /// SRC; empty stops the music.
    std::string source;
    /// LOOP: the number of plays (0 and 1 play once); 100000 when absent.
    int loop = 100000;
    /// TIME: the fade-out of a stop, in milliseconds.
    int timeMs = 0;
    /// Unless MODE=PASS, a fade keeps the book waiting until it ends.
    bool sync = true;
};

/// A BGM tag's TIME as a fade in milliseconds: its low 16 bits, unsigned (0 to 65535), as books
/// have always had larger values wrap; a negative TIME stops at once.
int FadeTimeMs(int timeAttribute);

/// What the music player needs around it; the references outlive it.
struct MusicPlayerServices {
    host::AudioDevice* device = nullptr;
    /// The fades' steps sleep here (the run's clock).
    host::Clock* clock = nullptr;
    const stage::PluginList* plugins = nullptr;
    /// Optional.
    MediaListener* listener = nullptr;
    /// Shows a box (CP932) and returns when it is closed.
    std::function<void(const std::string&)> showBox;
    /// 0 Japanese, 1 English, when a box is shown.
    std::function<int()> langMode;
};

/// The background music of the open books: one source at a time, played the number of times
/// its LOOP asks, faded out by the music's own volume (never the system's). Thread-safe; every
/// call may block for the device to open, so none is made on the interface thread.
class MusicPlayer {
  public:
    static constexpr int kDefaultLoop = 100000;

    explicit MusicPlayer(MusicPlayerServices services);
    ~MusicPlayer();

    /// The book whose folder sources are relative to (inside form, ending in "\").
    void SetBookFolder(std::string folder);
    /// Music switched on or off in the settings; off stops it, and later requests are only
    /// remembered.
    void SetEnabled(bool enabled);

    /// A BGM tag: with a source, its LOOP becomes the loop count and it plays; without, the
    /// music stops with the tag's fade.
    void Bgm(const BgmRequest& request);
    /// Plays source with the current loop count (also a bookmark's music).
    void Play(const std::string& source);
    /// Stops the music, fading it out over timeMs in ten steps first; a synchronous fade
    /// returns when the music has stopped, an asynchronous one at once.
    void StopWithFade(int timeMs, bool sync);
    /// Stops at once.
    void Stop();
    /// Ends a synchronous fade at once (the book is closing or changing); later fades run.
    void Interrupt();
    void Resume();

    /// The source that plays ("" when none); kept while music is switched off.
    std::string CurrentSource();
    int LoopCount();
    /// The bookmark's tag for the music, `<BGM SRC="..." LOOP="...">`; nullopt when none plays.
    std::optional<std::string> BgmTagText();

  private:
    void PlayLocked(const std::string& source);
    void StopLocked();
    void CancelFadeLocked();
    void ForgetFinishedFadeLocked();

    MusicPlayerServices services_;
    std::mutex mutex_;
    std::string bookFolder_;
    std::string current_;
    int loop_ = kDefaultLoop;
    bool enabled_ = true;
    /// A fade beside the book ends here on the clock; -1 when none runs.
    std::int64_t fadeEndMs_ = -1;
    std::atomic<bool> interrupted_{false};
};

}  // namespace talu::app
