#pragma once

#include <string>

namespace talu::app {

/// Told what the music and sound players do, for traces and tests; called on the thread that
/// asked them (the book's worker). Sources are the book's own (CP932).
class MediaListener {
  public:
    virtual ~MediaListener() = default;
    virtual void MusicPlayed(const std::string& source, int loop, const char* backend) = 0;
    virtual void MusicStopped() = 0;
    virtual void MusicFading(int timeMs, bool sync) = 0;
    /// No file for the source (for a CD source, no ripped track).
    virtual void MusicMissing(const std::string& source) = 0;
    virtual void SoundPlayed(const std::string& source, int channel, int loop, bool wait) = 0;
    /// The sound the book waited for has ended.
    virtual void SoundEnded(int channel) = 0;
    /// Every channel was busy: the sound is not played.
    virtual void SoundsFull(const std::string& source) = 0;
    virtual void SoundsStopped() = 0;
};

}  // namespace talu::app
