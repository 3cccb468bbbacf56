// Pixel routines on a full 640 x 480 stage, beside memcpy of the same bytes: every per-pixel
// routine should stay within 4x memcpy, every effect's whole pixel work at time 0 under 10 ms.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "host/clock.h"
#include "stage/colour_filter.h"
#include "stage/effects.h"
#include "stage/surface.h"
#include "stage/surface_blend.h"

namespace {

using namespace talu::stage;

constexpr int kW = 640;
constexpr int kH = 480;

Surface Picture(uint32_t seed) {
    Surface s;
    s.Create(kW, kH, PixelFormat::Rgb565());
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            s.Row(y)[x] = static_cast<uint16_t>((x * 37 + y * 1031 + seed * 7919) & 0xFFFF);
        }
    }
    return s;
}

void BM_Memcpy(benchmark::State& state) {
    const std::size_t bytes = std::size_t{kW} * kH * 2;
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy);

void BM_PlainCopy(benchmark::State& state) {
    const Surface src = Picture(1);
    Surface dst = Picture(2);
    for (auto _ : state) {
        src.CopyTo(src.Bounds(), dst, dst.Bounds(), 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopy);

void BM_KeyedCopy(benchmark::State& state) {
    Surface src = Picture(1);
    src.SetSourceKey(0xFF00FF);
    const auto key = static_cast<uint16_t>(src.NativeColour(0xFF00FF));
    for (int y = 0; y < kH; ++y) {
        for (int x = (y / 8) % 2; x < kW; x += 2) {
            src.Row(y)[x] = key;
        }
    }
    Surface dst = Picture(2);
    for (auto _ : state) {
        src.CopyTo(src.Bounds(), dst, dst.Bounds(), src.BlitFlags());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeyedCopy);

void BM_TranslucentCopy(benchmark::State& state) {
    Surface src = Picture(1);
    src.SetSourceKey(0xFF00FF);
    Surface dst = Picture(2);
    for (auto _ : state) {
        TranslucentCopy(src, src.Bounds(), dst, dst.Bounds(), 50);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TranslucentCopy);

void BM_MaskBlend(benchmark::State& state) {
    const Surface src = Picture(1);
    Surface dst = Picture(2);
    std::vector<uint8_t> mask(std::size_t{kW} * kH);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        mask[i] = static_cast<uint8_t>(i * 7);
    }
    const MaskBlendOptions options{mask.data(), mask.size(), src.Bounds(), 0, 0};
    for (auto _ : state) {
        MaskBlend(dst, src, options);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MaskBlend);

void BM_Brightness(benchmark::State& state) {
    Surface s = Picture(1);
    for (auto _ : state) {
        Brightness(s, std::nullopt, 99);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Brightness);

void BM_Filter(benchmark::State& state) {
    const auto filter = static_cast<uint32_t>(state.range(0));
    Surface s = Picture(1);
    s.SetSourceKey(0xFF00FF);
    for (auto _ : state) {
        ApplyFilter(s, filter);
        benchmark::ClobberMemory();
    }
}
// MONO, INVERSE, SEPIA and the NIGHT tint.
BENCHMARK(BM_Filter)->Arg(0x1000001)->Arg(0x1000002)->Arg(0x1000003)->Arg(0x424242);

void BM_EffectAtTimeZero(benchmark::State& state) {
    const int effect = static_cast<int>(state.range(0));
    const Surface stage = Picture(1);
    Screen screen;
    screen.Create(PixelFormat::Rgb565());
    talu::host::VirtualClock clock;
    const EffectOptions options{&clock, nullptr, nullptr};
    for (auto _ : state) {
        PresentWithEffect(stage, screen, Rect{0, 0, kW, kH}, effect, 0, options);
    }
}
BENCHMARK(BM_EffectAtTimeZero)->DenseRange(0, 1)->DenseRange(7, 22)->Unit(benchmark::kMicrosecond);

}  // namespace
