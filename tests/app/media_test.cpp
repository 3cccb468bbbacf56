// Music and effects on a recording device on virtual time: what is heard, when, and for how
// long, measured in the mixed recording itself.
#include <gtest/gtest.h>

#include <cmath>

#include "app/music_files.h"
#include "app/music_player.h"
#include "app/sound_effects.h"
#include "host/audio/virtual_audio_device.h"
#include "support/file_contents.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"
#include "support/wave_bytes.h"

namespace talu::app {
namespace {

const std::filesystem::path kSounds =
    std::filesystem::path(TALU_SOURCE_DIR) / "tests/books/run/sounds";

/// Mean absolute sample over [fromMs, toMs) of a recording.
double Loudness(const host::StereoPcm& pcm, std::int64_t fromMs, std::int64_t toMs) {
    const std::size_t from = static_cast<std::size_t>(fromMs * host::kMixRate / 1000) * 2;
    const std::size_t to =
        std::min(pcm.size(), static_cast<std::size_t>(toMs * host::kMixRate / 1000) * 2);
    if (to <= from) {
        return 0;
    }
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += std::abs(pcm[i]);
    }
    return sum / static_cast<double>(to - from);
}

class Recorder : public MediaListener {
  public:
    std::vector<std::string> lines;
    void MusicPlayed(const std::string& s, int loop, const char* backend) override {
        lines.push_back("play " + s + ' ' + std::to_string(loop) + ' ' + backend);
    }
    void MusicStopped() override { lines.push_back("stop"); }
    void MusicFading(int t, bool sync) override {
        lines.push_back("fade " + std::to_string(t) + (sync ? " sync" : " async"));
    }
    void MusicMissing(const std::string& s) override { lines.push_back("missing " + s); }
    void SoundPlayed(const std::string& s, int ch, int loop, bool wait) override {
        lines.push_back("sound " + s + ' ' + std::to_string(ch) + ' ' + std::to_string(loop) +
                        (wait ? " wait" : " pass"));
    }
    void SoundEnded(int ch) override { lines.push_back("end " + std::to_string(ch)); }
    void SoundsFull(const std::string& s) override { lines.push_back("full " + s); }
    void SoundsStopped() override { lines.push_back("stop-all"); }
};

class Media : public ::testing::Test {
  protected:
    Media() {
        folder.Write("theme.mid", test::ReadText(kSounds / "theme.mid"));
        folder.Write("tune.ogg", test::ReadText(kSounds / "tune.ogg"));
        folder.Write("cd/TRACK07.OGG", test::ReadText(kSounds / "tune.ogg"));
        const std::vector<std::uint8_t> second = test::ToneSamples(22050);
        folder.Write("one.p16", std::string(second.begin(), second.end()));
        const std::vector<std::uint8_t> wave = test::WaveBytes(test::ToneSamples(2205));
        folder.Write("blip.wav", std::string(wave.begin(), wave.end()));
        music.SetBookFolder(folder.Inside());
        sounds.SetBookFolder(folder.Inside());
    }

    bool Sound(const std::string& src, int loop = 1, bool pass = false) {
        return sounds.Play(SoundRequest{false, src, src, loop, pass});
    }
    std::int64_t Now() { return clock.NowMs(); }

    test::TempFolder folder;
    host::VirtualClock clock;
    host::VirtualAudioDevice device{clock, {true, {}}};
    stage::PluginList plugins;
    Recorder recorder;
    std::vector<std::string> boxes;
    bool effectsOn = true;
    MusicPlayer music{MusicPlayerServices{&device, &clock, &plugins, &recorder,
                                          [this](const std::string& t) { boxes.push_back(t); },
                                          [] { return 1; }}};
    SoundEffects sounds{SoundEffectServices{&device, &plugins, &recorder,
                                            [this](const std::string& t) { boxes.push_back(t); },
                                            [] { return 1; }, [this] { return effectsOn; }}};
};

TEST_F(Media, LoopCountsHoldForEveryBackEnd) {
    // tune.ogg lasts half a second; LOOP 0 and 1 play once, 2 twice, absent 100000 times.
    struct Case {
        const char* source;
        int loop;
        std::int64_t heardUntilMs;
    };
    for (const Case c :
         {Case{"tune.ogg", 0, 500}, Case{"tune.ogg", 1, 500}, Case{"tune.ogg", 2, 1000},
          Case{"07.cda", 3, 1500}, Case{"tune.ogg", MusicPlayer::kDefaultLoop, 4000}}) {
        const std::int64_t start = Now();
        music.Bgm({c.source, c.loop, 0, true});
        clock.Advance(4000);
        music.Stop();
        const host::StereoPcm heard = device.Render();
        EXPECT_GT(Loudness(heard, start + c.heardUntilMs - 100, start + c.heardUntilMs - 20), 500)
            << c.source << ' ' << c.loop;
        if (c.heardUntilMs < 4000) {
            EXPECT_EQ(Loudness(heard, start + c.heardUntilMs + 20, start + 4000), 0)
                << c.source << ' ' << c.loop;
        }
    }
    EXPECT_EQ(recorder.lines[6], "play 07.cda 3 cd");
}

TEST_F(Media, MidiSoundsThroughTheSoundfont) {
    music.Bgm({"theme.mid", 1, 0, true});
    clock.Advance(400);
    EXPECT_GT(Loudness(device.Render(), 50, 400), 100);
    EXPECT_EQ(recorder.lines, std::vector<std::string>{"play theme.mid 1 midi"});
}

TEST_F(Media, CdTracksComeFromRippedFiles) {
    EXPECT_EQ(FindCdTrackFile(7, folder.Inside()), "cd\\track07.ogg");
    EXPECT_EQ(FindCdTrackFile(8, folder.Inside()), std::nullopt);
    folder.Write("08.flac", "x");
    folder.Write("Track08.mp3", "x");
    // The name comes before the extension: TrackNN in any format wins over NN.
    EXPECT_EQ(FindCdTrackFile(8, folder.Inside()), "track08.mp3");
    for (const auto& [source, track] : {std::pair<std::string, std::optional<int>>{"02.cda", 2},
                                        {"music\\track12.CDA", 12},
                                        {"x.cda", std::nullopt},
                                        {"ab.cda", std::nullopt}}) {
        EXPECT_EQ(CdTrackNumber(source), track) << source;
    }
    music.Bgm({"09.cda", 1, 0, true});
    EXPECT_EQ(recorder.lines, std::vector<std::string>{"missing 09.cda"});
    EXPECT_EQ(music.CurrentSource(), "09.cda");
}

TEST_F(Media, SyncFadeStepsTheMusicsOwnVolumeWhileTheBookWaits) {
    music.Bgm({"tune.ogg", 10, 0, true});
    clock.ClearSleeps();
    music.StopWithFade(1000, true);
    EXPECT_EQ(clock.Sleeps(), std::vector<int>(11, 100));
    EXPECT_EQ(music.CurrentSource(), "");
    EXPECT_EQ(device.MusicVolume(), host::AudioDevice::kMaxVolume);
    const host::StereoPcm heard = device.Render();
    // Louder at the start of the fade than near its end, silent after.
    EXPECT_GT(Loudness(heard, 0, 100), 2 * Loudness(heard, 800, 900));
    EXPECT_GT(Loudness(heard, 800, 900), 0);
    EXPECT_EQ(Loudness(heard, 1010, 1100), 0);
    EXPECT_EQ(recorder.lines.back(), "stop");
}

TEST_F(Media, SilentMusicStaysSilentThroughAFade) {
    device.SetMusicVolume(0);
    music.Bgm({"tune.ogg", 10, 0, true});
    music.StopWithFade(500, true);
    EXPECT_EQ(device.MusicVolume(), 0);
    EXPECT_EQ(Loudness(device.Render(), 0, 600), 0);
}

TEST_F(Media, PassFadeRunsBesideTheBookAndANewBgmCancelsIt) {
    music.Bgm({"tune.ogg", 100, 0, true});
    clock.ClearSleeps();
    music.StopWithFade(2000, false);
    EXPECT_TRUE(clock.Sleeps().empty());
    EXPECT_EQ(music.BgmTagText(), "<BGM SRC=\"tune.ogg\" LOOP=\"100\">");
    clock.Advance(1000);
    EXPECT_LT(device.MusicVolume(), host::AudioDevice::kMaxVolume);
    music.Bgm({"tune.ogg", 100, 0, true});  // cancels the fade, restores the volume
    EXPECT_EQ(device.MusicVolume(), host::AudioDevice::kMaxVolume);
    clock.Advance(2000);
    const host::StereoPcm heard = device.Render();
    EXPECT_GT(Loudness(heard, 2500, 3000), 0.9 * Loudness(heard, 0, 200));
    music.StopWithFade(2000, false);
    clock.Advance(2000);
    EXPECT_EQ(music.BgmTagText(), std::nullopt);  // the fade ended the music
}

TEST_F(Media, NoTimeStopsAtOnce) {
    music.Bgm({"tune.ogg", 100, 0, true});
    clock.ClearSleeps();
    music.Bgm({"", 100000, 0, true});
    EXPECT_TRUE(clock.Sleeps().empty());
    EXPECT_EQ(music.CurrentSource(), "");
}

TEST_F(Media, MusicSwitchedOffOnlyRemembers) {
    music.Bgm({"tune.ogg", 4, 0, true});
    music.SetEnabled(false);
    music.Bgm({"theme.mid", 2, 0, true});
    clock.Advance(500);
    EXPECT_EQ(Loudness(device.Render(), 100, 500), 0);
    EXPECT_EQ(music.BgmTagText(), "<BGM SRC=\"theme.mid\" LOOP=\"2\">");
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"play tune.ogg 4 stream", "stop"}));
}

TEST_F(Media, P16AndWaveEffectsKeepTheBookWaitingForTheirLength) {
    struct Case {
        const char* src;
        int loop;
        int waitedMs;
    };
    for (const Case c :
         {Case{"one.p16", 1, 1000}, Case{"one.p16", 3, 3000}, Case{"blip.wav", 2, 200}}) {
        const std::int64_t start = Now();
        clock.ClearSleeps();
        ASSERT_TRUE(Sound(c.src, c.loop));
        EXPECT_EQ(Now() - start, c.waitedMs) << c.src << ' ' << c.loop;
        EXPECT_EQ(clock.Sleeps().size(), 1u) << "one wait, no polling";
        clock.Advance(100);
        EXPECT_EQ(Loudness(device.Render(), start + 20, start + c.waitedMs - 20) > 500, true);
        EXPECT_EQ(Loudness(device.Render(), start + c.waitedMs + 10, Now()), 0);
    }
}

TEST_F(Media, EndlessEffectsPlayUntilStopAndTheSeventeenthIsRefused) {
    clock.ClearSleeps();
    for (int i = 0; i < host::AudioDevice::kChannels; ++i) {
        ASSERT_TRUE(Sound("blip.wav", 0));
    }
    EXPECT_TRUE(clock.Sleeps().empty());
    EXPECT_FALSE(Sound("blip.wav", 1, true));
    EXPECT_EQ(recorder.lines.back(), "full blip.wav");
    clock.Advance(5000);
    EXPECT_GT(Loudness(device.Render(), 4500, 5000), 500);
    sounds.StopAll();
    clock.Advance(500);
    EXPECT_EQ(Loudness(device.Render(), 5010, 5500), 0);
    EXPECT_TRUE(Sound("blip.wav", 1, true));
    EXPECT_EQ(recorder.lines.back(), "sound blip.wav 0 1 pass");
}

// Missing and broken files, and files that crashed SDL's decoders or converter or made an
// effect decode without end, are refused by our own checks: music with the unsupported-format
// box, effects with message 0, and the book goes on (a good effect after them still plays its
// length).
TEST_F(Media, HostileMusicAndEffectsAreRefusedAndTheBookGoesOnSilent) {
    const auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
        folder.Write(name, std::string(bytes.begin(), bytes.end()));
    };
    folder.Write("words.mid", "not a MIDI file at all");
    std::vector<std::uint8_t> truncated = test::WaveBytes(test::ToneSamples(100));
    truncated.resize(truncated.size() - 10);
    write("cut.wav", truncated);
    const std::vector<std::uint8_t> bytes(3000, 0x55);
    write("nochannels.wav", test::WaveBytes(test::ToneSamples(100), {1, 0, 22050, 16}));
    write("pcm8at1hz.wav", test::WaveBytes(bytes, {1, 1, 1, 8}));
    write("alaw1hz.wav", test::WaveBytes(bytes, {6, 1, 1, 8}));
    // Eleven minutes of 8-bit samples at 1000 per second: longer than an effect may be.
    write("eleven.wav", test::WaveBytes(std::vector<std::uint8_t>(660000, 0x90), {1, 1, 1000, 8}));
    write("endless.mid", test::MidiBytes({0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00}));
    // One note of 215 quarters at 16.7 s each: an hour in 40 bytes.
    std::vector<std::uint8_t> hour = {0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF};
    const std::vector<std::uint8_t> note = test::NoteEvents(0x01, 0x57);
    hour.insert(hour.end(), note.begin(), note.end());
    write("hour.mid", test::MidiBytes(hour, 1));

    for (const char* name : {"words.mid", "nochannels.wav", "pcm8at1hz.wav"}) {
        boxes.clear();
        music.Bgm({name, 1, 0, true});
        ASSERT_EQ(boxes.size(), 1u) << name;
        EXPECT_EQ(boxes[0], "This music format is not supported.");
    }
    for (const char* name :
         {"gone.wav", "cut.wav", "alaw1hz.wav", "eleven.wav", "endless.mid", "hour.mid"}) {
        boxes.clear();
        const std::int64_t start = Now();
        EXPECT_TRUE(Sound(name));
        EXPECT_EQ(Now(), start) << name;
        ASSERT_EQ(boxes.size(), 1u) << name;
        EXPECT_NE(boxes[0].find(name), std::string::npos) << boxes[0];
    }
    const std::int64_t start = Now();
    ASSERT_TRUE(Sound("blip.wav"));
    EXPECT_EQ(Now() - start, 100);
    effectsOn = false;  // switched off: nothing plays
    EXPECT_FALSE(Sound("blip.wav"));
}

// BGM's TIME is a fade of up to 65535 ms (a signed 16-bit reading would stop at once from 32768
// on); larger values keep their low 16 bits and a negative one stops at once.
TEST(FadeTime, IsTheLowSixteenBitsUnsigned) {
    const std::pair<int, int> cases[] = {
        {0, 0}, {300, 300}, {65535, 65535}, {70000, 4464}, {2147483647, 65535}, {-1, 0}};
    for (const auto& [time, fade] : cases) {
        EXPECT_EQ(FadeTimeMs(time), fade) << time;
    }
}

}  // namespace
}  // namespace talu::app
