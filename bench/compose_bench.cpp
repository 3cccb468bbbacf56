// One composition of a full stage: background, characters keyed, translucent or masked with
// edge smoothing, and the text layer. Composition runs once per stage change and per page.
#include <benchmark/benchmark.h>

#include <string>

#include "stage/stage.h"

namespace {

using talu::stage::Character;
using talu::stage::Stage;

// A stage with count 200 x 400 characters of the given alpha (a mask when alpha is -1).
void Fill(Stage& stage, int count, int alpha) {
    stage.Create();
    stage.Background().Fill(0x336699);
    for (int i = 0; i < count; ++i) {
        Character& c = stage.CharacterAt(i);
        c.name = "C" + std::to_string(i);
        c.Create(200, 400, stage.Format());
        c.Fill(0xFF00FF);
        c.SetSourceKey(0xFF00FF);
        c.FillRect({20, 20, 180, 380}, 0x40C080);
        c.left = i * 22;
        c.top = 80;
        if (alpha == -1) {
            c.mask.assign(200 * 400, 128);
        } else {
            c.alpha = alpha;
        }
    }
}

void BM_Compose(benchmark::State& state) {
    Stage stage;
    Fill(stage, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    stage.SetSmoothEdges(state.range(2) != 0);
    for (auto _ : state) {
        stage.Compose(0);
        benchmark::DoNotOptimize(stage.StageSurface().Row(0));
    }
}
// Characters, alpha (-1 mask), edge smoothing.
BENCHMARK(BM_Compose)
    ->Args({0, 100, 0})
    ->Args({3, 100, 0})
    ->Args({3, 100, 1})
    ->Args({3, 50, 0})
    ->Args({3, -1, 1})
    ->Args({20, 100, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
