// Our own checks before SDL decodes a music or sound file, and the bounds on what is decoded
// and recorded.
#include "host/audio/audio_file_check.h"

#include <SDL2/SDL_stdinc.h>
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "host/audio/decode_limit.h"
#include "host/audio/virtual_audio_device.h"
#include "host/audio/wave_reader.h"
#include "support/file_contents.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"
#include "support/wave_bytes.h"

namespace talu::host {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::filesystem::path kSounds =
    std::filesystem::path(TALU_SOURCE_DIR) / "tests/books/run/sounds";

Bytes ReadSound(const char* name) {
    const std::string text = test::ReadText(kSounds / name);
    return Bytes(text.begin(), text.end());
}

Bytes Wave(int tag, int channels, int rate, int bits, std::size_t dataBytes = 4000) {
    return test::WaveBytes(Bytes(dataBytes, 0x40), {tag, channels, rate, bits});
}

// A FLAC stream information block alone: rate, channels and bits as given, samples frames.
Bytes Flac(std::uint32_t rate, int channels, int bits, std::uint32_t samples) {
    Bytes out = {'f', 'L', 'a', 'C', 0x80, 0, 0, 34, 0x10, 0x00, 0x10, 0x00};
    out.resize(18, 0);
    out.push_back(static_cast<std::uint8_t>(rate >> 12));
    out.push_back(static_cast<std::uint8_t>(rate >> 4));
    out.push_back(
        static_cast<std::uint8_t>((rate << 4) | ((channels - 1) << 1) | ((bits - 1) >> 4)));
    out.push_back(static_cast<std::uint8_t>(((bits - 1) & 0x0F) << 4));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(samples >> shift));
    }
    out.resize(42, 0);
    return out;
}

// Two MPEG-1 layer III frames of 128 kbit/s at 44100 per second (417 bytes each).
Bytes Mp3() {
    Bytes out;
    for (int frame = 0; frame < 2; ++frame) {
        const Bytes header = {0xFF, 0xFB, 0x90, 0x44};
        out.insert(out.end(), header.begin(), header.end());
        out.resize(out.size() + 413, 0);
    }
    return out;
}

TEST(AudioFileCheck, AcceptsEachFormatAndKnowsItsLength) {
    struct Case {
        const char* name;
        Bytes bytes;
        AudioFormat format;
        std::int64_t durationMs;
    };
    const std::vector<Case> cases = {
        {"pcm16", Wave(1, 1, 22050, 16, 44100), AudioFormat::kWave, 1000},
        {"pcm8 stereo", Wave(1, 2, 8000, 8, 8000), AudioFormat::kWave, 500},
        {"pcm24", Wave(1, 2, 48000, 24, 2880), AudioFormat::kWave, 10},
        {"float", Wave(3, 2, 44100, 32, 3528), AudioFormat::kWave, 10},
        {"a-law", Wave(6, 1, 8000, 8, 8000), AudioFormat::kWave, 1000},
        {"mu-law", Wave(7, 1, 8000, 8, 4000), AudioFormat::kWave, 500},
        {"ogg", ReadSound("tune.ogg"), AudioFormat::kOgg, 500},
        {"midi", ReadSound("theme.mid"), AudioFormat::kMidi, 500},
        {"flac", Flac(44100, 2, 16, 88200), AudioFormat::kFlac, 2000},
        {"mp3", Mp3(), AudioFormat::kMp3, -1},
    };
    for (const Case& c : cases) {
        const AudioFileCheck check = CheckAudioFile(c.bytes);
        EXPECT_TRUE(check.Accepted()) << c.name << ": " << check.problem;
        EXPECT_EQ(check.format, c.format) << c.name;
        EXPECT_NEAR(check.durationMs, c.durationMs, 2) << c.name;
    }
}

// (No channels, 1 Hz and a MIDI track without end are refused end to end in the media tests.)
TEST(AudioFileCheck, RefusesHeadersNoDecoderShouldSee) {
    Bytes misaligned = Wave(1, 2, 22050, 16);
    misaligned[32] = 2;  // block alignment of a mono file
    Bytes cutChunk = Wave(1, 1, 22050, 16);
    const Bytes list = {'L', 'I', 'S', 'T', 0xFF, 0xFF, 0, 0};
    cutChunk.insert(cutChunk.begin() + 36, list.begin(), list.end());
    Bytes noVorbisChannels = ReadSound("tune.ogg");
    noVorbisChannels[27 + noVorbisChannels[26] + 11] = 0;
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"nine channels", Wave(1, 9, 22050, 16)},
        {"12-bit", Wave(1, 1, 22050, 12)},
        {"64-bit float", Wave(3, 1, 44100, 64)},
        {"unknown codec", Wave(0x55, 1, 22050, 16)},
        {"ms adpcm without its fields", Wave(2, 1, 22050, 4)},
        {"misaligned blocks", misaligned},
        {"chunk past the end", cutChunk},
        {"midi running status first", test::MidiBytes({0x00, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00})},
        {"midi event past its track", test::MidiBytes({0x00, 0xFF, 0x01, 0x7F, 'a'})},
        {"midi no time division", test::MidiBytes(test::NoteEvents(0, 1), 0)},
        {"vorbis without channels", noVorbisChannels},
        {"flac at 0 Hz", Flac(0, 2, 16, 100)},
        {"mp3 one lone header", Bytes{0xFF, 0xFB, 0x90, 0x44, 1, 2, 3}},
        {"riff midi (a module decoder would get it)",
         [] {
             const Bytes song = test::MidiBytes(test::NoteEvents(0, 1));
             Bytes riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'};
             test::PutLe(riff, static_cast<std::uint32_t>(song.size()), 4);
             riff.insert(riff.end(), song.begin(), song.end());
             return riff;
         }()},
        {"not audio", Bytes{'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'}},
        {"empty", Bytes{}},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_FALSE(CheckAudioFile(bytes).Accepted()) << name;
    }
}

// With --audio music is decoded whole, without it only opened: both take exactly the files
// our check lets through (64-bit float and misaligned WAVE opened as music but did not decode).
TEST(AudioFileCheck, MusicIsTakenAlikeWithAndWithoutRecording) {
    Bytes misaligned = Wave(1, 2, 22050, 16);
    misaligned[32] = 2;
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"wave", Wave(1, 1, 22050, 16)},  {"float64", Wave(3, 1, 44100, 64)},
        {"misaligned", misaligned},       {"ogg", ReadSound("tune.ogg")},
        {"midi", ReadSound("theme.mid")}, {"words", Bytes{'w', 'o', 'r', 'd', 's'}},
    };
    for (const auto& [name, bytes] : files) {
        bool taken[2] = {};
        for (const bool record : {false, true}) {
            VirtualClock clock;
            VirtualAudioDevice device(clock, {record, {}});
            std::string problem;
            taken[record] = device.PlayMusic(bytes, 1, problem);
        }
        EXPECT_EQ(taken[0], taken[1]) << name;
        EXPECT_EQ(taken[0], CheckAudioFile(bytes).Accepted()) << name;
    }
}

// Found by the fuzzer: a file that decodes to no samples at all is an empty sound.
TEST(AudioFileCheck, AFileOfNoSamplesDecodesToNothing) {
    VirtualClock clock;
    VirtualAudioDevice device(clock, {false, {}});
    std::string problem;
    const std::optional<StereoPcm> pcm = device.Decode(Wave(1, 2, 44100, 16, 0), problem);
    ASSERT_TRUE(pcm.has_value()) << problem;
    EXPECT_TRUE(pcm->empty());
}

// A decoder that runs away takes many small blocks (a queue of packets) as often as one large
// one: the bound is on what the thread holds, and once reached no block but the smallest is
// given there.
TEST(DecodeLimit, BoundsWhatOneThreadHoldsAndTheTime) {
    DecodeLimit::Install();
    std::vector<void*> blocks;
    {
        const DecodeLimit limit(1 << 20, std::chrono::seconds(10));
        void* freed = SDL_malloc(900 << 10);
        ASSERT_NE(freed, nullptr);
        SDL_free(freed);  // given back: it no longer counts
        int given = 0;
        for (void* block = nullptr; given < 1000; ++given) {
            block = SDL_malloc(16 << 10);
            if (block == nullptr) {
                break;
            }
            blocks.push_back(block);
        }
        EXPECT_GE(given, 50);
        EXPECT_LE(given, 64);
        EXPECT_TRUE(limit.Reached());
        EXPECT_EQ(SDL_malloc(4096), nullptr);
        void* text = SDL_malloc(100);  // SDL's error text still gets its memory
        EXPECT_NE(text, nullptr);
        SDL_free(text);
        void* elsewhere = nullptr;
        std::thread([&] { elsewhere = SDL_malloc(2 << 20); }).join();
        EXPECT_NE(elsewhere, nullptr);
        SDL_free(elsewhere);
    }
    for (void* block : blocks) {
        SDL_free(block);
    }
    {
        const DecodeLimit expired(1 << 30, std::chrono::milliseconds(-1));
        EXPECT_EQ(SDL_malloc(4096), nullptr);
        EXPECT_TRUE(expired.Reached());
    }
    void* free = SDL_malloc(2 << 20);
    EXPECT_NE(free, nullptr);
    SDL_free(free);
}

// The recording is written as it is mixed: the file holds what Render mixes; a run too long
// for a WAVE file's sizes is refused with its reason and leaves no file.
TEST(RecordedWave, IsWhatWasMixedAndARunTooLongSaysSo) {
    test::TempFolder folder;
    VirtualClock clock;
    VirtualAudioDevice device(clock, {true, {}});
    StereoPcm tone(2 * 3000);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<std::int16_t>((i * 97) % 20000 - 10000);
    }
    device.PlaySound(0, std::make_shared<const StereoPcm>(tone), 0);
    clock.Advance(3500);  // three windows of the writer and more
    std::string problem;
    const std::filesystem::path file = folder.Path() / "heard.wav";
    ASSERT_TRUE(device.RenderToWave(file, problem)) << problem;
    const std::string text = test::ReadText(file);
    const WaveResult read = ReadWave(Bytes(text.begin(), text.end()));
    ASSERT_EQ(read.status, WaveStatus::kPcm);
    const StereoPcm mixed = device.Render();
    ASSERT_EQ(read.sound.samples.size(), mixed.size() * 2);
    EXPECT_EQ(std::memcmp(read.sound.samples.data(), mixed.data(), read.sound.samples.size()), 0);

    clock.Advance(std::int64_t{7} * 3600 * 1000);
    const std::filesystem::path tooLong = folder.Path() / "long.wav";
    EXPECT_FALSE(device.RenderToWave(tooLong, problem));
    EXPECT_NE(problem.find("too long for a WAVE file"), std::string::npos) << problem;
    EXPECT_FALSE(std::filesystem::exists(tooLong));
}

using test::WaveBytes;

TEST(WaveReader, ReadsPcmInTheFilesOwnFormat) {
    for (const auto& [channels, rate, bits] :
         {std::tuple{1, 22050, 16}, {2, 44100, 16}, {1, 11025, 8}, {2, 8000, 8}}) {
        const Bytes samples(channels * bits / 8 * 100, 0x40);
        const WaveResult result =
            ReadWave(WaveBytes(samples, {.channels = channels, .rate = rate, .bits = bits}));
        ASSERT_EQ(result.status, WaveStatus::kPcm) << channels << ' ' << bits;
        EXPECT_EQ(std::tuple(result.sound.channels, result.sound.rate, result.sound.bitsPerSample),
                  std::tuple(channels, rate, bits));
        EXPECT_EQ(result.sound.samples, samples);
        EXPECT_EQ(result.sound.Frames(), 100);
    }
}

TEST(WaveReader, SkipsOtherChunksAndTheirPadBytes) {
    Bytes bytes = WaveBytes(test::ToneSamples(10));
    // A 3-byte LIST chunk (padded to 4) between "fmt " and "data".
    const Bytes list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    bytes.insert(bytes.begin() + 36, list.begin(), list.end());
    const WaveResult result = ReadWave(bytes);
    ASSERT_EQ(result.status, WaveStatus::kPcm);
    EXPECT_EQ(result.sound.samples, test::ToneSamples(10));
}

// Damaged files are refused with a reason; other formats and codecs are told apart, for the
// general decoder to try.
TEST(WaveReader, RefusesDamagedFilesAndTellsOtherFormatsApart) {
    const Bytes samples = test::ToneSamples(50);
    Bytes truncated = WaveBytes(samples);
    truncated.resize(truncated.size() - 7);
    Bytes noData = WaveBytes({});
    noData.resize(36);
    const auto tone = test::ToneSamples(8);
    const std::tuple<const char*, Bytes, WaveStatus> cases[] = {
        {"truncated data", truncated, WaveStatus::kDamaged},
        // A "fmt " chunk that claims 40 bytes swallows the data chunk's header.
        {"fmt lies about its size", WaveBytes(samples, {.fmtSize = 40}), WaveStatus::kDamaged},
        {"fmt too short", WaveBytes(samples, {.fmtSize = 2}), WaveStatus::kDamaged},
        {"2 GB data size", WaveBytes(samples, {.dataSize = 0x7FFFFFF0}), WaveStatus::kDamaged},
        {"4 GB data size", WaveBytes(samples, {.dataSize = 0xFFFFFFFF}), WaveStatus::kDamaged},
        {"no channels", WaveBytes(samples, {.channels = 0}), WaveStatus::kDamaged},
        {"no rate", WaveBytes(samples, {.rate = 0}), WaveStatus::kDamaged},
        {"no data chunk", noData, WaveStatus::kDamaged},
        {"empty", Bytes{}, WaveStatus::kNotWave},
        {"ogg", Bytes{'O', 'g', 'g', 'S'}, WaveStatus::kNotWave},
        {"float", WaveBytes(tone, {.formatTag = 3, .bits = 32}), WaveStatus::kOtherCodec},
        {"adpcm", WaveBytes(tone, {.formatTag = 2, .bits = 4}), WaveStatus::kOtherCodec},
        {"pcm24", WaveBytes(tone, {.bits = 24}), WaveStatus::kOtherCodec},
        {"extensible", WaveBytes(tone, {.formatTag = 0xFFFE}), WaveStatus::kOtherCodec},
    };
    for (const auto& [name, bytes, status] : cases) {
        const WaveResult result = ReadWave(bytes);
        EXPECT_EQ(result.status, status) << name;
        EXPECT_TRUE(result.sound.samples.empty()) << name;
        if (status == WaveStatus::kDamaged) {
            EXPECT_FALSE(result.problem.empty()) << name;
        }
    }
}

TEST(WaveReader, P16IsRawMonoAt22050AndTimesExactly) {
    const PcmSound sound = ReadP16(Bytes(44100, 1));
    EXPECT_EQ(std::tuple(sound.rate, sound.channels, sound.bitsPerSample, sound.DurationMs()),
              std::tuple(22050, 1, 16, 1000));
    EXPECT_EQ(ReadP16(Bytes(45, 0)).samples.size(), 44u);
    EXPECT_EQ(ReadP16({}).DurationMs(), 0);
}

}  // namespace
}  // namespace talu::host
