// What music and effects cost: mixing sixteen looping effects over a MIDI track, and
// synthesising the MIDI track through SDL2_mixer's FluidSynth with the installed soundfont.
// Each reports core_percent: the share of one core that keeping up in real time takes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

#include "host/audio/audio_device.h"
#include "host/audio/audio_timeline.h"
#include "host/audio/sdl_mixer.h"
#include "host/audio/soundfont.h"

namespace {

using namespace talu;

constexpr std::int64_t kSeconds = 10;

std::vector<std::uint8_t> DemoMidi() {
    std::ifstream in(std::string(TALU_SOURCE_DIR) + "/books/demo/snd/sea.mid", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::shared_ptr<const host::StereoPcm> Tone(double seconds, double hz) {
    auto pcm = std::make_shared<host::StereoPcm>();
    const int frames = static_cast<int>(seconds * host::kMixRate);
    for (int i = 0; i < frames; ++i) {
        const auto v =
            static_cast<std::int16_t>(3000 * std::sin(2 * M_PI * hz * i / host::kMixRate));
        pcm->push_back(v);
        pcm->push_back(v);
    }
    return pcm;
}

// Seconds of work per second of audio, as a percentage: iterations per second inverted.
void ReportCore(benchmark::State& state, double audioSeconds) {
    state.counters["core_percent"] =
        benchmark::Counter(audioSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}

void BM_MixSixteenEffectsAndMusic(benchmark::State& state) {
    std::vector<host::TimelineVoice> voices;
    host::TimelineVoice music;
    music.pcm = Tone(3.0, 220);
    music.plays = 100000;
    music.music = true;
    voices.push_back(music);
    for (int i = 0; i < 16; ++i) {
        host::TimelineVoice effect;
        effect.pcm = Tone(0.2 + 0.05 * i, 440 + 40 * i);
        effect.startMs = 10 * i;
        effect.plays = 0;
        voices.push_back(effect);
    }
    std::vector<host::VolumeChange> fade;
    for (int k = 0; k <= 10; ++k) {
        fade.push_back({5000 + 300 * k, 128 * (10 - k) / 10});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(host::MixTimeline(voices, fade, kSeconds * 1000));
    }
    ReportCore(state, kSeconds);
}
BENCHMARK(BM_MixSixteenEffectsAndMusic)->Unit(benchmark::kMillisecond);

void BM_SynthesiseMidi(benchmark::State& state) {
    std::string problem;
    auto mixer = host::SdlMixer::Open({"dummy", host::FindSoundFont(), 16}, problem);
    if (!mixer) {
        state.SkipWithError(problem.c_str());
        return;
    }
    const std::vector<std::uint8_t> song = DemoMidi();
    double seconds = 0;
    for (auto _ : state) {
        auto pcm = mixer->Decode(song, host::AudioDevice::kMaxSoundMs, problem);
        if (!pcm) {
            state.SkipWithError(problem.c_str());
            return;
        }
        seconds = static_cast<double>(pcm->size() / 2) / host::kMixRate;
    }
    ReportCore(state, seconds);
}
BENCHMARK(BM_SynthesiseMidi)->Unit(benchmark::kMillisecond);

}  // namespace
