#pragma once

#include <cstdint>
#include <vector>

// Standard MIDI files made in the tests: one track around the events given.
namespace talu::test {

/// A format-0 MIDI file with one track holding events (delta times included) as written, so
/// a test can leave out the end of the track or lie in it.
inline std::vector<std::uint8_t> MidiBytes(const std::vector<std::uint8_t>& events,
                                           int division = 480) {
    std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
    out.push_back(static_cast<std::uint8_t>(division >> 8));
    out.push_back(static_cast<std::uint8_t>(division));
    for (const char c : {'M', 'T', 'r', 'k'}) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
    const auto size = static_cast<std::uint32_t>(events.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    out.insert(out.end(), events.begin(), events.end());
    return out;
}

/// Events of a note of the given ticks, then the end of the track.
inline std::vector<std::uint8_t> NoteEvents(std::uint8_t ticksHigh, std::uint8_t ticksLow) {
    return {0x00,     0x90, 0x3C, 0x64, static_cast<std::uint8_t>(0x80 | ticksHigh),
            ticksLow, 0x80, 0x3C, 0x00, 0x00,
            0xFF,     0x2F, 0x00};
}

}  // namespace talu::test
