// The sound card through SDL2_mixer, on SDL's silent drivers ("dummy" keeps real time, "disk"
// also writes what is heard), so it runs on machines without a sound card.
#include "host/audio/sdl_audio_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "support/file_contents.h"
#include "support/temp_folder.h"
#include "support/wave_bytes.h"

namespace talu::host {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::shared_ptr<const StereoPcm> Tone(int ms) {
    StereoPcm pcm(static_cast<std::size_t>(ms) * kMixRate / 1000 * kMixChannels);
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        pcm[i] = static_cast<std::int16_t>(8000 * std::sin(static_cast<double>(i / 2) * 0.06));
    }
    return std::make_shared<const StereoPcm>(std::move(pcm));
}

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool WaitFor(const std::function<bool()>& done) {
    const auto start = Clock::now();
    while (!done()) {
        if (Clock::now() - start > 10s) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Frames louder than a whisper in 16-bit stereo samples.
long long LoudFrames(const std::vector<std::int16_t>& samples) {
    long long loud = 0;
    for (std::size_t i = 0; i + 1 < samples.size(); i += kMixChannels) {
        loud += std::abs(samples[i]) > 1000 ? 1 : 0;
    }
    return loud;
}

// What a device on SDL's disk driver writes while play runs on it and until it closes: what is
// heard, not only what the device says.
std::vector<std::int16_t> Heard(const std::function<void(SdlAudioDevice&)>& play,
                                SdlAudioDevice::Options options = {"disk", {}, {}, {}}) {
    test::TempFolder folder;
    const std::string heard = (folder.Path() / "heard.raw").string();
    ::setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
    {
        SdlAudioDevice device(std::move(options));
        EXPECT_TRUE(device.Available());
        play(device);
    }
    ::unsetenv("SDL_DISKAUDIOFILE");
    const std::string bytes = test::ReadText(heard);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

TEST(SdlAudioDevice, EffectsPlayLoopAndStop) {
    SdlAudioDevice device({"dummy", {}, {}, {}});
    ASSERT_TRUE(device.Available());

    device.PlaySound(0, Tone(60), 1);
    EXPECT_TRUE(device.SoundPlaying(0));
    EXPECT_TRUE(device.WaitSound(0));
    EXPECT_FALSE(device.SoundPlaying(0));

    // 0 plays loops until stopped; a stopped sound is waited for no more.
    device.PlaySound(2, Tone(30), 0);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(device.SoundPlaying(2));
    device.StopSound(2);
    EXPECT_FALSE(device.SoundPlaying(2));
    EXPECT_TRUE(device.WaitSound(2));
}

TEST(SdlAudioDevice, InterruptReleasesAWaiterAtOnceUntilResumed) {
    SdlAudioDevice device({"dummy", {}, {}, {}});
    device.PlaySound(5, Tone(50), 0);
    std::atomic<int> released{-1};
    std::thread waiter([&] { released = device.WaitSound(5) ? 1 : 0; });
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(released.load(), -1);  // the endless sound holds it
    device.Interrupt();
    waiter.join();
    EXPECT_EQ(released.load(), 0);
    EXPECT_FALSE(device.WaitSound(5));  // still interrupted: no one waits
    device.Resume();
    device.StopSound(5);
    EXPECT_TRUE(device.WaitSound(5));
}

TEST(SdlAudioDevice, MusicIsHeardAndBadMusicIsTold) {
    std::atomic<int> failures{0};
    const auto heard = Heard(
        [&](SdlAudioDevice& device) {
            std::string problem;
            const std::vector<std::uint8_t> song = test::WaveBytes(test::ToneSamples(22050 / 4));
            ASSERT_TRUE(device.PlayMusic(song, 2, problem));
            EXPECT_TRUE(device.MusicPlaying());  // at once, while it loads
            ASSERT_TRUE(WaitFor([&] { return !device.MusicPlaying(); }));  // two quarter seconds
            EXPECT_EQ(failures.load(), 0);

            ASSERT_TRUE(
                device.PlayMusic({'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}, 1, problem));
            ASSERT_TRUE(WaitFor([&] { return failures.load() == 1; }));
            EXPECT_FALSE(device.MusicPlaying());
            // A header claiming no channels divided by zero inside SDL: our check refuses it first.
            ASSERT_TRUE(device.PlayMusic(test::WaveBytes(test::ToneSamples(100), {1, 0, 22050, 16}),
                                         1, problem));
            ASSERT_TRUE(WaitFor([&] { return failures.load() == 2; }));
            EXPECT_FALSE(device.MusicPlaying());

            // Music stopped while it loads never starts.
            ASSERT_TRUE(device.PlayMusic(song, 100, problem));
            device.StopMusic();
            std::this_thread::sleep_for(200ms);
            EXPECT_FALSE(device.MusicPlaying());
        },
        {"disk", {}, {}, [&](const std::string& problem) {
             EXPECT_FALSE(problem.empty());
             ++failures;
         }});
    ASSERT_GT(heard.size(), std::size_t{2 * kMixRate / 2});  // at least half a second written
    EXPECT_GT(LoudFrames(heard) * 2, kMixRate / 4);          // a good part of the two plays
}

// N plays of an effect record about N times its length, and the wait for them ends in about
// that time.
TEST(SdlAudioDevice, AnEffectIsHeardAsManyTimesAsAskedAndTheWaitEndsWithIt) {
    constexpr int kToneMs = 300;
    const std::shared_ptr<const StereoPcm> tone = Tone(kToneMs);
    const long long loudPerPlay = LoudFrames(*tone);
    for (const int plays : {1, 2}) {
        long long waitedMs = 0;
        const long long loud = LoudFrames(Heard([&](SdlAudioDevice& device) {
            const auto start = Clock::now();
            device.PlaySound(0, tone, plays);
            EXPECT_TRUE(device.WaitSound(0));
            waitedMs = MsSince(start);
        }));
        EXPECT_GT(loud, loudPerPlay * plays * 9 / 10) << plays << " plays";
        EXPECT_LT(loud, loudPerPlay * plays * 11 / 10) << plays << " plays";
        EXPECT_GE(waitedMs, kToneMs * plays - 50) << plays << " plays";
        EXPECT_LT(waitedMs, kToneMs * plays + 250) << plays << " plays";
    }
}

// A 300 ms effect at loudness, set before the device opens or just after the effect starts.
std::vector<std::int16_t> HeardAt(const Loudness& loudness, bool changeWhilePlaying) {
    return Heard([&](SdlAudioDevice& device) {
        if (!changeWhilePlaying) {
            device.SetLoudness(loudness);
        }
        device.PlaySound(0, Tone(300), 1);
        if (changeWhilePlaying) {
            device.SetLoudness(loudness);
        }
        EXPECT_TRUE(device.WaitSound(0));
        // The book's own music volume is what a fade starts from, whatever the reader's.
        EXPECT_EQ(device.MusicVolume(), AudioDevice::kMaxVolume);
    });
}

int Peak(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (const std::int16_t sample : samples) {
        peak = std::max(peak, std::abs(int{sample}));
    }
    return peak;
}

TEST(SdlAudioDevice, TheReadersLoudnessIsWhatTheSoundCardReceives) {
    const auto full = HeardAt({}, false);
    EXPECT_GT(Peak(full), 7000);  // the tone's own 8000
    const int half = Peak(HeardAt({100, 50, false}, false));
    EXPECT_GT(half, Peak(full) * 4 / 10);
    EXPECT_LT(half, Peak(full) * 6 / 10);
    EXPECT_EQ(Peak(HeardAt({100, 100, true}, false)), 0);
    // Muted while it plays: what the mixer had not yet taken is silent.
    EXPECT_LT(LoudFrames(HeardAt({100, 100, true}, true)), LoudFrames(full) / 2);
}

TEST(SdlAudioDevice, ADeviceThatCannotOpenSaysSoOnceAndStaysSilent) {
    std::vector<std::string> told;
    SdlAudioDevice device(
        {"no-such-driver", {}, [&](const std::string& problem) { told.push_back(problem); }, {}});
    EXPECT_FALSE(device.Available());
    std::string problem;
    EXPECT_TRUE(device.PlayMusic(test::WaveBytes(test::ToneSamples(2205)), 1, problem));
    device.PlaySound(0, Tone(50), 1);
    EXPECT_FALSE(device.SoundPlaying(0));
    EXPECT_TRUE(device.WaitSound(0));
    EXPECT_FALSE(device.Available());
    std::this_thread::sleep_for(100ms);  // the music thread tried too
    EXPECT_FALSE(device.MusicPlaying());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_FALSE(told[0].empty());
}

}  // namespace
}  // namespace talu::host
