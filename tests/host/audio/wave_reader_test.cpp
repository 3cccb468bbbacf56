#include "host/audio/wave_reader.h"

#include <gtest/gtest.h>

#include "support/wave_bytes.h"

namespace talu::host {
namespace {

using test::WaveBytes;
using test::WaveLayout;

TEST(WaveReader, ReadsPcmInTheFilesOwnFormat) {
    struct Case {
        int channels, rate, bits;
    };
    for (const Case c :
         {Case{1, 22050, 16}, Case{2, 44100, 16}, Case{1, 11025, 8}, Case{2, 8000, 8}}) {
        const std::vector<std::uint8_t> samples(c.channels * c.bits / 8 * 100, 0x40);
        WaveLayout layout;
        layout.channels = c.channels;
        layout.rate = c.rate;
        layout.bits = c.bits;
        const WaveResult result = ReadWave(WaveBytes(samples, layout));
        ASSERT_EQ(result.status, WaveStatus::kPcm) << c.channels << ' ' << c.bits;
        EXPECT_EQ(result.sound.channels, c.channels);
        EXPECT_EQ(result.sound.rate, c.rate);
        EXPECT_EQ(result.sound.bitsPerSample, c.bits);
        EXPECT_EQ(result.sound.samples, samples);
        EXPECT_EQ(result.sound.Frames(), 100);
    }
}

TEST(WaveReader, SkipsOtherChunksAndTheirPadBytes) {
    std::vector<std::uint8_t> bytes = WaveBytes(test::ToneSamples(10));
    // A 3-byte LIST chunk (padded to 4) between "fmt " and "data".
    const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    bytes.insert(bytes.begin() + 36, list.begin(), list.end());
    const WaveResult result = ReadWave(bytes);
    ASSERT_EQ(result.status, WaveStatus::kPcm);
    EXPECT_EQ(result.sound.samples, test::ToneSamples(10));
}

TEST(WaveReader, RefusesDamagedFiles) {
    const std::vector<std::uint8_t> samples = test::ToneSamples(50);
    std::vector<std::uint8_t> truncated = WaveBytes(samples);
    truncated.resize(truncated.size() - 7);
    WaveLayout lyingFmt;
    lyingFmt.fmtSize = 40;  // swallows the data chunk's header
    WaveLayout shortFmt;
    shortFmt.fmtSize = 2;
    WaveLayout huge;
    huge.dataSize = 0x7FFFFFF0;
    WaveLayout hugeUnsigned;
    hugeUnsigned.dataSize = 0xFFFFFFFF;
    WaveLayout noChannels;
    noChannels.channels = 0;
    WaveLayout noRate;
    noRate.rate = 0;
    std::vector<std::uint8_t> noData = WaveBytes({});
    noData.resize(36);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"truncated data", truncated},
        {"fmt lies about its size", WaveBytes(samples, lyingFmt)},
        {"fmt too short", WaveBytes(samples, shortFmt)},
        {"2 GB data size", WaveBytes(samples, huge)},
        {"4 GB data size", WaveBytes(samples, hugeUnsigned)},
        {"no channels", WaveBytes(samples, noChannels)},
        {"no rate", WaveBytes(samples, noRate)},
        {"no data chunk", noData},
    };
    for (const Case& c : cases) {
        const WaveResult result = ReadWave(c.bytes);
        EXPECT_EQ(result.status, WaveStatus::kDamaged) << c.name;
        EXPECT_FALSE(result.problem.empty()) << c.name;
        EXPECT_TRUE(result.sound.samples.empty()) << c.name;
    }
}

TEST(WaveReader, TellsOtherFormatsApart) {
    for (const auto& bytes :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{'O', 'g', 'g', 'S'}}) {
        EXPECT_EQ(ReadWave(bytes).status, WaveStatus::kNotWave);
    }
}

TEST(WaveReader, LeavesOtherCodecsToTheGeneralDecoder) {
    for (const auto& [tag, bits] :
         {std::pair{3, 32}, std::pair{2, 4}, std::pair{1, 24}, std::pair{0xFFFE, 16}}) {
        WaveLayout layout;
        layout.formatTag = tag;
        layout.bits = bits;
        EXPECT_EQ(ReadWave(WaveBytes(test::ToneSamples(8), layout)).status, WaveStatus::kOtherCodec)
            << tag << ' ' << bits;
    }
}

TEST(WaveReader, P16IsRawMonoAt22050AndTimesExactly) {
    const std::vector<std::uint8_t> bytes(44100, 1);
    const PcmSound sound = ReadP16(bytes);
    EXPECT_EQ(sound.rate, 22050);
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.bitsPerSample, 16);
    EXPECT_EQ(sound.DurationMs(), 1000);
    EXPECT_EQ(ReadP16(std::vector<std::uint8_t>(45, 0)).samples.size(), 44u);
    EXPECT_EQ(ReadP16({}).DurationMs(), 0);
}

}  // namespace
}  // namespace talu::host
