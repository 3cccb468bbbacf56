#include "host/audio/wave_reader.h"

#include <gtest/gtest.h>

#include "support/wave_bytes.h"

namespace talu::host {
namespace {

using test::WaveBytes;
using Bytes = std::vector<std::uint8_t>;

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
