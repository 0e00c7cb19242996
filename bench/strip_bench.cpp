// Strip rendering speed: the start strip, the largest everyday strip, and a
// plain per-pixel loop over the same work as the baseline.
#include <benchmark/benchmark.h>

#include <cstring>

#include <vector>

#include "fixtures.h"
#include "reference_rotation.h"
#include "rotation.h"
#include "strip_render.h"
#include "test_surface.h"

namespace {

void renderH(benchmark::State& state, int32_t size, KnobParams params, bool bilinear,
             unsigned threads) {
    const PixelGrid src = fixtures::Picture(size, size);
    TestSurface strip(size * params.FrameCount, size);
    PixelGrid frameBits;
    for (auto _ : state) {
        RenderStripH(params, bilinear, src, frameBits, strip.view, threads);
        benchmark::DoNotOptimize(strip.bytes.data());
    }
    state.counters["frames/s"] =
        benchmark::Counter(params.FrameCount, benchmark::Counter::kIsIterationInvariantRate);
}

// Each expression evaluated per pixel as written, one frame after the other,
// then copied into its place: what a direct transcription does.
void plainH(benchmark::State& state, int32_t size, KnobParams params) {
    const PixelGrid src = fixtures::Picture(size, size);
    TestSurface strip(size * params.FrameCount, size);
    PixelGrid frame;
    for (auto _ : state) {
        for (int32_t i = 1; i <= params.FrameCount; ++i) {
            reference::RotateFrame(true, i, params, src, frame);
            for (int32_t y = 0; y < size; ++y)
                std::memcpy(strip.view.pixel((i - 1) * size, y),
                            frame.data() + frame.offset(1, 1, y + 1),
                            static_cast<std::size_t>(size) * 4);
        }
        benchmark::DoNotOptimize(strip.bytes.data());
    }
}

void StartStrip(benchmark::State& s) {
    renderH(s, 45, {28, 18.0f, 10.0f}, true, 0);
}
void StartStripOneThread(benchmark::State& s) {
    renderH(s, 45, {28, 18.0f, 10.0f}, true, 1);
}
void Large(benchmark::State& s) {
    renderH(s, 121, {1000, 60.0f, 0.36f}, true, 0);
}
void LargeOneThread(benchmark::State& s) {
    renderH(s, 121, {1000, 60.0f, 0.36f}, true, 1);
}
void LargeNearest(benchmark::State& s) {
    renderH(s, 121, {1000, 60.0f, 0.36f}, false, 0);
}
void LargePlainLoop(benchmark::State& s) {
    plainH(s, 121, {1000, 60.0f, 0.36f});
}

}  // namespace

BENCHMARK(StartStrip)->Unit(benchmark::kMillisecond);
BENCHMARK(StartStripOneThread)->Unit(benchmark::kMillisecond);
BENCHMARK(Large)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LargeOneThread)->Unit(benchmark::kMillisecond);
BENCHMARK(LargeNearest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LargePlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
