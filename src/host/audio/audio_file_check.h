#pragma once

#include <cstdint>
#include <span>
#include <string>

// Our own look at a music or sound file before any third-party decoder sees it. A book's folder
// is hostile: a header that claims no channels, a rate of 1 Hz or a block that does not match
// its samples has crashed SDL's decoders and converter. Only the formats checked here reach a
// decoder, and only with sane values.
namespace talu::host {

enum class AudioFormat { kUnknown, kWave, kOgg, kFlac, kMp3, kMidi };

struct AudioFileCheck {
    AudioFormat format = AudioFormat::kUnknown;
    /// Empty when the file may go to a decoder; otherwise why not.
    std::string problem;
    /// The playing time the header promises, in milliseconds; -1 when it does not say.
    std::int64_t durationMs = -1;

    bool Accepted() const { return problem.empty(); }
};

/// Sample rates a decoder is trusted with (per second).
inline constexpr std::uint32_t kMinAudioRate = 1000;
inline constexpr std::uint32_t kMaxAudioRate = 384000;
inline constexpr int kMaxAudioChannels = 8;
/// Larger files are not read as music or sound at all.
inline constexpr std::size_t kMaxAudioFileBytes = 256u << 20;

/// Identifies bytes as WAVE, Ogg Vorbis, FLAC, MP3 or standard MIDI by their magic, as SDL2_mixer
/// does, and checks the header and every size against the file; anything else is refused.
AudioFileCheck CheckAudioFile(std::span<const std::uint8_t> bytes);

/// The standard MIDI file check: every chunk inside the file, every track's events well formed
/// and ended by an end-of-track event, the playing time from the tempo changes.
AudioFileCheck CheckMidiFile(std::span<const std::uint8_t> bytes);

}  // namespace talu::host
