#include <algorithm>
#include <cstring>
#include <vector>

#include "host/audio/audio_file_check.h"

namespace talu::host {
namespace {

constexpr std::size_t kMaxTracks = 1024;
// The sequencer keeps every event in memory: a bound on them bounds it.
constexpr std::int64_t kMaxEvents = 2'000'000;
constexpr std::uint64_t kMaxTick = std::uint64_t{1} << 40;
constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds per quarter note

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

struct TempoChange {
    std::uint64_t tick;
    std::uint32_t microsPerQuarter;
};

struct TrackWalk {
    std::vector<TempoChange> tempos;
    std::uint64_t lastTick = 0;
    std::int64_t events = 0;
};

class TrackReader {
  public:
    explicit TrackReader(std::span<const std::uint8_t> track) : track_(track) {}

    bool AtEnd() const { return pos_ >= track_.size(); }
    bool Byte(std::uint8_t& out) {
        if (AtEnd()) {
            return false;
        }
        out = track_[pos_++];
        return true;
    }
    bool Peek(std::uint8_t& out) const {
        if (AtEnd()) {
            return false;
        }
        out = track_[pos_];
        return true;
    }
    /// A variable-length number: at most four bytes, seven bits each.
    bool VarLen(std::uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!Byte(b)) {
                return false;
            }
            out = (out << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return true;
            }
        }
        return false;
    }
    bool Skip(std::uint32_t length, const std::uint8_t** start = nullptr) {
        if (length > track_.size() - pos_) {
            return false;
        }
        if (start != nullptr) {
            *start = track_.data() + pos_;
        }
        pos_ += length;
        return true;
    }

  private:
    std::span<const std::uint8_t> track_;
    std::size_t pos_ = 0;
};

// One meta or system event after its status byte; sets ended at the end of the track.
const char* WalkSystemEvent(TrackReader& reader, std::uint8_t status, std::uint64_t tick,
                            TrackWalk& walk, bool& ended) {
    std::uint8_t type = 0;
    if (status == 0xFF && !reader.Byte(type)) {
        return "a meta event is cut off";
    }
    if (status != 0xFF && status != 0xF0 && status != 0xF7) {
        return "an unknown MIDI event";
    }
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    if (!reader.VarLen(length) || !reader.Skip(length, &data)) {
        return "an event is longer than its track";
    }
    if (status == 0xFF && type == 0x2F) {
        ended = true;
    } else if (status == 0xFF && type == 0x51) {
        const std::uint32_t tempo = length == 3 ? (data[0] << 16) | (data[1] << 8) | data[2] : 0;
        if (tempo == 0) {
            return "an impossible tempo";
        }
        walk.tempos.push_back({tick, tempo});
    }
    return nullptr;
}

const char* WalkTrack(std::span<const std::uint8_t> track, TrackWalk& walk) {
    TrackReader reader(track);
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    bool ended = false;
    while (!ended) {
        std::uint32_t delta = 0;
        std::uint8_t status = 0;
        if (!reader.VarLen(delta) || !reader.Peek(status)) {
            return "a track has no end";
        }
        tick += delta;
        if (tick > kMaxTick || ++walk.events > kMaxEvents) {
            return "a track is too long";
        }
        if (status >= 0x80) {
            reader.Byte(status);
        } else if (running == 0) {
            return "a MIDI event without status";
        } else {
            status = running;
        }
        if (status >= 0xF0) {
            running = 0;
            if (const char* problem = WalkSystemEvent(reader, status, tick, walk, ended)) {
                return problem;
            }
            continue;
        }
        running = status;
        const int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // program and pressure: one
        for (int i = 0; i < dataBytes; ++i) {
            std::uint8_t value = 0;
            if (!reader.Byte(value) || value >= 0x80) {
                return "a MIDI event is cut off";
            }
        }
    }
    walk.lastTick = std::max(walk.lastTick, tick);
    return nullptr;
}

std::int64_t DurationMs(TrackWalk& walk, std::uint16_t division) {
    if ((division & 0x8000) != 0) {
        const int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        return static_cast<std::int64_t>(walk.lastTick * 1000 /
                                         (framesPerSecond * (division & 0xFF)));
    }
    std::stable_sort(walk.tempos.begin(), walk.tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    long double micros = 0;
    std::uint64_t tick = 0;
    std::uint32_t tempo = kDefaultTempo;
    for (const TempoChange& change : walk.tempos) {
        if (change.tick >= walk.lastTick) {
            break;
        }
        micros += static_cast<long double>(change.tick - tick) * tempo / division;
        tick = change.tick;
        tempo = change.microsPerQuarter;
    }
    micros += static_cast<long double>(walk.lastTick - tick) * tempo / division;
    return static_cast<std::int64_t>(micros / 1000);
}

bool DivisionUsable(std::uint16_t division) {
    if ((division & 0x8000) == 0) {
        return division > 0;
    }
    const int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
    return (framesPerSecond == 24 || framesPerSecond == 25 || framesPerSecond == 29 ||
            framesPerSecond == 30) &&
           (division & 0xFF) > 0;
}

AudioFileCheck Refused(const char* problem) {
    AudioFileCheck check;
    check.format = AudioFormat::kMidi;
    check.problem = problem;
    return check;
}

}  // namespace

AudioFileCheck CheckMidiFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
        return Refused("not a MIDI file");
    }
    const std::uint32_t headerSize = Be32(bytes.data() + 4);
    const std::uint16_t format = Be16(bytes.data() + 8);
    const std::uint16_t tracks = Be16(bytes.data() + 10);
    const std::uint16_t division = Be16(bytes.data() + 12);
    if (headerSize < 6 || headerSize > bytes.size() - 8) {
        return Refused("the MIDI header does not fit the file");
    }
    if (format > 2 || tracks == 0 || tracks > kMaxTracks || !DivisionUsable(division)) {
        return Refused("impossible MIDI format, track count or time division");
    }
    TrackWalk walk;
    std::size_t found = 0;
    std::size_t at = 8 + headerSize;
    while (found < tracks && bytes.size() - at >= 8) {
        const std::uint32_t size = Be32(bytes.data() + at + 4);
        if (size > bytes.size() - at - 8) {
            return Refused("a MIDI chunk is larger than the file");
        }
        if (std::memcmp(bytes.data() + at, "MTrk", 4) == 0) {
            if (const char* problem = WalkTrack(bytes.subspan(at + 8, size), walk)) {
                return Refused(problem);
            }
            ++found;
        }
        at += 8 + size;
    }
    if (found < tracks) {
        return Refused("MIDI tracks are missing");
    }
    AudioFileCheck check;
    check.format = AudioFormat::kMidi;
    check.durationMs = DurationMs(walk, division);
    return check;
}

}  // namespace talu::host
