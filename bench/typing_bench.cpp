#include <benchmark/benchmark.h>

#include <atomic>
#include <string>
#include <vector>

#include "host/clock.h"
#include "interp/text_placement.h"
#include "interp/text_renderer.h"

// Typing cost per character without the deliberate pause: both drawing passes and the
// per-character presentation onto a 640 x 480 screen-sized surface.
namespace {

using namespace talu;

void BM_TypeCharacters(benchmark::State& state) {
    const stage::PixelFormat format = stage::PixelFormat::Rgb565();
    stage::Surface layer;
    stage::Surface composed;
    stage::Surface screen;
    layer.Create(640, 480, format);
    composed.Create(640, 480, format);
    screen.Create(640, 480, format);
    interp::TextLayout layout;
    std::string line;
    for (int i = 0; i < 20; ++i) {
        line += "\x82\xA0";  // あ: 20 fill one line of the default window
    }
    host::VirtualClock clock;
    std::atomic<int> click{0};
    interp::RevealOptions options;
    options.clock = &clock;
    options.click = &click;
    options.present = [&](const stage::Rect& r) { composed.CopyTo(r, screen, r, 0); };
    const interp::TextSettings settings{0, 1};  // fast-forward: no pause
    std::string rest;
    std::vector<stage::Rect> rects;
    for (auto _ : state) {
        layout.penX = layout.window.left;
        layout.penY = layout.window.top;
        rects.clear();
        interp::PlaceRun(layout, interp::TypingTargets{layer, composed}, line, rest, rects);
        interp::RevealRun(rects, settings, options);
        clock.ClearSleeps();
        benchmark::DoNotOptimize(screen.Row(20));
    }
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_TypeCharacters);

// Laying out a page of English, with wrapping at spaces off (0) and on (1): each word is
// measured once more before its first letter when on.
void BM_PlaceEnglishPage(benchmark::State& state) {
    stage::Surface layer;
    layer.Create(640, 480, stage::PixelFormat::Rgb565());
    interp::TextLayout layout;
    std::string page;
    while (page.size() < 500) {
        page += "The quick brown fox jumps over the lazy dog, again and again. ";
    }
    const interp::WordWrap wrap{state.range(0) != 0, {}};
    std::string rest;
    for (auto _ : state) {
        layout.penX = layout.window.left;
        layout.penY = layout.window.top;
        layout.wrapped = 0;
        benchmark::DoNotOptimize(interp::PlaceText(layout, layer, page, rest, nullptr, &wrap));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_PlaceEnglishPage)->Arg(0)->Arg(1);

}  // namespace
