// The sound card through SDL2_mixer, on SDL's silent drivers ("dummy" keeps real time, "disk"
// also writes what is heard), so it runs on machines without a sound card.
#include "host/audio/sdl_audio_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
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

TEST(SdlAudioDevice, EffectsPlayLoopAndStop) {
    SdlAudioDevice device({"dummy", {}, {}, {}});
    ASSERT_TRUE(device.Available());

    device.PlaySound(0, Tone(60), 1);
    EXPECT_TRUE(device.SoundPlaying(0));
    EXPECT_TRUE(device.WaitSound(0));
    EXPECT_FALSE(device.SoundPlaying(0));

    // Three plays of 60 ms are heard one after another (the mixer may run a buffer ahead).
    const auto start = Clock::now();
    device.PlaySound(1, Tone(60), 3);
    EXPECT_TRUE(device.WaitSound(1));
    EXPECT_GE(MsSince(start), 120);

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
    test::TempFolder folder;
    const std::string heard = (folder.Path() / "heard.raw").string();
    ::setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
    std::atomic<int> failures{0};
    {
        SdlAudioDevice device({"disk", {}, {}, [&](const std::string& problem) {
                                   EXPECT_FALSE(problem.empty());
                                   ++failures;
                               }});
        std::string problem;
        const std::vector<std::uint8_t> song = test::WaveBytes(test::ToneSamples(22050 / 4));
        ASSERT_TRUE(device.PlayMusic(song, 2, problem));
        EXPECT_TRUE(device.MusicPlaying());                            // at once, while it loads
        ASSERT_TRUE(WaitFor([&] { return !device.MusicPlaying(); }));  // two quarter seconds
        EXPECT_EQ(failures.load(), 0);

        ASSERT_TRUE(device.PlayMusic({'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}, 1, problem));
        ASSERT_TRUE(WaitFor([&] { return failures.load() == 1; }));
        EXPECT_FALSE(device.MusicPlaying());
        // A header claiming no channels divided by zero inside SDL: our check refuses it first.
        ASSERT_TRUE(device.PlayMusic(test::WaveBytes(test::ToneSamples(100), {1, 0, 22050, 16}), 1,
                                     problem));
        ASSERT_TRUE(WaitFor([&] { return failures.load() == 2; }));
        EXPECT_FALSE(device.MusicPlaying());

        // Music stopped while it loads never starts.
        ASSERT_TRUE(device.PlayMusic(song, 100, problem));
        device.StopMusic();
        std::this_thread::sleep_for(200ms);
        EXPECT_FALSE(device.MusicPlaying());
    }
    ::unsetenv("SDL_DISKAUDIOFILE");
    const std::string bytes = test::ReadText(heard);
    ASSERT_GT(bytes.size(), std::size_t{4 * kMixRate / 2});  // at least half a second written
    long long loud = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto sample = static_cast<std::int16_t>(
            static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
        loud += std::abs(sample) > 1000 ? 1 : 0;
    }
    EXPECT_GT(loud, kMixRate / 4);  // a good part of the two plays is heard
}

// Frames louder than a whisper in 16-bit stereo samples.
long long LoudFrames(const std::int16_t* samples, std::size_t count) {
    long long loud = 0;
    for (std::size_t i = 0; i + 1 < count; i += kMixChannels) {
        loud += std::abs(samples[i]) > 1000 ? 1 : 0;
    }
    return loud;
}

// What is heard, not only what the device says: N plays of an effect record about N times its
// length on SDL's disk driver, and the wait for them ends in about that time.
TEST(SdlAudioDevice, AnEffectIsHeardAsManyTimesAsAskedAndTheWaitEndsWithIt) {
    constexpr int kToneMs = 300;
    const std::shared_ptr<const StereoPcm> tone = Tone(kToneMs);
    const long long loudPerPlay = LoudFrames(tone->data(), tone->size());
    for (const int plays : {1, 2}) {
        test::TempFolder folder;
        const std::string heard = (folder.Path() / "heard.raw").string();
        ::setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
        long long waitedMs = 0;
        {
            SdlAudioDevice device({"disk", {}, {}, {}});
            ASSERT_TRUE(device.Available());
            const auto start = Clock::now();
            device.PlaySound(0, tone, plays);
            EXPECT_TRUE(device.WaitSound(0));
            waitedMs = MsSince(start);
        }
        ::unsetenv("SDL_DISKAUDIOFILE");
        const std::string bytes = test::ReadText(heard);
        const long long loud =
            LoudFrames(reinterpret_cast<const std::int16_t*>(bytes.data()), bytes.size() / 2);
        EXPECT_GT(loud, loudPerPlay * plays * 9 / 10) << plays << " plays";
        EXPECT_LT(loud, loudPerPlay * plays * 11 / 10) << plays << " plays";
        EXPECT_GE(waitedMs, kToneMs * plays - 50) << plays << " plays";
        EXPECT_LT(waitedMs, kToneMs * plays + 250) << plays << " plays";
    }
}

struct Heard {
    int peak = 0;
    long long loudFrames = 0;
};

// What SDL's disk driver receives while a 300 ms effect plays at loudness, set before the device
// opens or just after the effect starts.
Heard HeardAt(const Loudness& loudness, bool changeWhilePlaying) {
    test::TempFolder folder;
    const std::string heard = (folder.Path() / "heard.raw").string();
    ::setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
    {
        SdlAudioDevice device({"disk", {}, {}, {}});
        if (!changeWhilePlaying) {
            device.SetLoudness(loudness);
        }
        EXPECT_TRUE(device.Available());
        device.PlaySound(0, Tone(300), 1);
        if (changeWhilePlaying) {
            device.SetLoudness(loudness);
        }
        EXPECT_TRUE(device.WaitSound(0));
        // The book's own music volume is what a fade starts from, whatever the reader's.
        EXPECT_EQ(device.MusicVolume(), AudioDevice::kMaxVolume);
    }
    ::unsetenv("SDL_DISKAUDIOFILE");
    const std::string bytes = test::ReadText(heard);
    const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.data());
    Heard result;
    for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
        result.peak = std::max(result.peak, std::abs(int{samples[i]}));
    }
    result.loudFrames = LoudFrames(samples, bytes.size() / 2);
    return result;
}

TEST(SdlAudioDevice, TheReadersLoudnessIsWhatTheSoundCardReceives) {
    const Heard full = HeardAt({}, false);
    EXPECT_GT(full.peak, 7000);  // the tone's own 8000
    const Heard half = HeardAt({100, 50, false}, false);
    EXPECT_GT(half.peak, full.peak * 4 / 10);
    EXPECT_LT(half.peak, full.peak * 6 / 10);
    EXPECT_EQ(HeardAt({100, 100, true}, false).peak, 0);
    // Muted while it plays: what the mixer had not yet taken is silent.
    EXPECT_LT(HeardAt({100, 100, true}, true).loudFrames, full.loudFrames / 2);
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
