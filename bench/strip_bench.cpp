// Strip rendering speed: the start strip, the largest everyday strip, the
// same strip composed in bands as a file takes it, and a plain per-pixel loop
// over the same work as the baseline. Whole-process timings of the command
// line against the plain reference builder: bench/cli_timings.py.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <vector>

#include "fixtures.h"
#include "reference_rotation.h"
#include "rotation.h"
#include "strip_compositor.h"
#include "strip_render.h"
#include "test_surface.h"

using namespace Engine;
using namespace Render;

namespace {

void renderH(benchmark::State& state, int32_t size, KnobParams params, Routine routine,
             unsigned threads) {
    const PixelGrid src = fixtures::Picture(size, size);
    TestSurface strip(size * params.FrameCount, size);
    for (auto _ : state) {
        RenderStrip(StripLayout::Horizontal(), params, routine, src, strip.view, threads);
        benchmark::DoNotOptimize(strip.bytes.data());
    }
    state.counters["frames/s"] =
        benchmark::Counter(params.FrameCount, benchmark::Counter::kIsIterationInvariantRate);
}

// Bands of three-byte rows, bottom-up, as the bitmap file takes them (or of
// four-byte rows that keep the opacity, top-down, as a PNG takes them); the
// sink keeps two bands and drops them.
class DroppingSink final : public StripSink {
public:
    DroppingSink(int32_t w, int32_t h, bool opacity = false)
        : w_(w), h_(h), opacity_(opacity), line_(opacity ? w * 4 : (w * 3 + 3) & ~3) {}
    int32_t width() const override { return w_; }
    int32_t height() const override { return h_; }
    int pixelBytes() const override { return opacity_ ? 4 : 3; }
    bool bottomUp() const override { return !opacity_; }
    bool keepsOpacity() const override { return opacity_; }
    BandView band(int32_t, int32_t count) override {
        auto& b = bands_[opened_++ % 2];
        b.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(line_));
        return {b.data() + (count - 1) * line_, -line_};
    }
    bool bandDone(int32_t, int32_t) override {
        benchmark::DoNotOptimize(bands_[done_++ % 2].data());
        return true;
    }

private:
    int32_t w_, h_;
    bool opacity_;
    std::ptrdiff_t line_;
    std::vector<uint8_t> bands_[2];
    int opened_ = 0, done_ = 0;
};

void bandsH(benchmark::State& state, int32_t size, KnobParams params, Routine routine) {
    const PixelGrid src = fixtures::Picture(size, size);
    DroppingSink sink(size * params.FrameCount, size);
    for (auto _ : state) ComposeStrip(StripLayout::Horizontal(), params, routine, src, sink);
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

// A 256 x 256 knob: the fixture's colours on a disc with a soft rim, clear
// around it.
PixelGrid knobPicture() {
    PixelGrid g = fixtures::Picture(256, 256);
    for (int32_t y = 1; y <= 256; ++y)
        for (int32_t x = 1; x <= 256; ++x) {
            const double d = std::hypot(x - 128.5, y - 128.5);
            g(4, x, y) = static_cast<uint8_t>(std::clamp((120.0 - d) * 128.0, 0.0, 255.0));
        }
    return g;
}

// The strip a toolkit plays: 129 frames from -135 to +135 degrees, the
// disc the whole picture, composed on every core into bands that are dropped.
void toolkitStrip(benchmark::State& state, Routine routine, bool opacity) {
    const PixelGrid src = knobPicture();
    const KnobParams p{129, 128.0f, 270.0f / 128.0f, -135.0f};
    DroppingSink sink(256, 256 * 129, opacity);
    for (auto _ : state) ComposeStrip(StripLayout::Vertical(), p, routine, src, sink);
    state.counters["frames/s"] =
        benchmark::Counter(p.FrameCount, benchmark::Counter::kIsIterationInvariantRate);
}

void ToolkitBilinear(benchmark::State& s) {
    toolkitStrip(s, Routine::Bilinear, false);
}
void ToolkitSharp(benchmark::State& s) {
    toolkitStrip(s, Routine::Sharp, false);
}
void ToolkitBilinearOpacity(benchmark::State& s) {
    toolkitStrip(s, Routine::Bilinear, true);
}
void ToolkitSharpOpacity(benchmark::State& s) {
    toolkitStrip(s, Routine::Sharp, true);
}

// The same frames turned by the eight-lane loops alone, as a processor
// without AVX-512 turns them: one thread, each frame's rows in pieces of 64
// into one buffer of three-byte rows (or four-byte rows with opacity).
void eightLaneFrames(benchmark::State& state, bool sharp, bool opacity) {
    const PixelGrid src = knobPicture();
    const KnobParams p{129, 128.0f, 270.0f / 128.0f, -135.0f};
    const int bytes = opacity ? 4 : 3;
    const std::ptrdiff_t line = std::ptrdiff_t{256} * bytes;
    std::vector<uint8_t> plain(static_cast<std::size_t>(line) * 256), frame(plain.size());
    for (std::size_t k = 0; k < 256 * 256; ++k)
        std::memcpy(&plain[k * static_cast<std::size_t>(bytes)], src.data() + k * 4,
                    static_cast<std::size_t>(bytes));
    const auto turn = sharp ? &AppModul::RotateFrameSharp : &AppModul::RotateFrameBilinear;
    for (auto _ : state)
        for (int32_t i = 1; i <= p.FrameCount; ++i)
            for (int32_t first = 0; first < 256; first += 64) {
                AppModul::FrameRows rows{
                    first, 64, frame.data() + first * line, line, bytes, plain.data(), line};
                rows.opacity = opacity;
                turn(i, p, src, rows, AppModul::Kernel::EightLanes);
                benchmark::DoNotOptimize(frame.data());
            }
}

void EightLanesBilinear(benchmark::State& s) {
    eightLaneFrames(s, false, false);
}
void EightLanesSharp(benchmark::State& s) {
    eightLaneFrames(s, true, false);
}
void EightLanesBilinearOpacity(benchmark::State& s) {
    eightLaneFrames(s, false, true);
}
void EightLanesSharpOpacity(benchmark::State& s) {
    eightLaneFrames(s, true, true);
}

void StartStrip(benchmark::State& s) {
    renderH(s, 45, {28, 18.0f, 10.0f}, Routine::Bilinear, 0);
}
void StartStripOneThread(benchmark::State& s) {
    renderH(s, 45, {28, 18.0f, 10.0f}, Routine::Bilinear, 1);
}
void Large(benchmark::State& s) {
    renderH(s, 121, {1000, 60.0f, 0.36f}, Routine::Bilinear, 0);
}
void LargeOneThread(benchmark::State& s) {
    renderH(s, 121, {1000, 60.0f, 0.36f}, Routine::Bilinear, 1);
}
void LargeNearest(benchmark::State& s) {
    renderH(s, 121, {1000, 60.0f, 0.36f}, Routine::Nearest, 0);
}
void LargeBands(benchmark::State& s) {
    bandsH(s, 121, {1000, 60.0f, 0.36f}, Routine::Bilinear);
}
void LargeBandsNearest(benchmark::State& s) {
    bandsH(s, 121, {1000, 60.0f, 0.36f}, Routine::Nearest);
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
BENCHMARK(LargeBands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LargeBandsNearest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LargePlainLoop)->Unit(benchmark::kMillisecond);
// The sharp routine against the bilinear on the same strip: run with
// --benchmark_filter=Toolkit --benchmark_repetitions=9
// --benchmark_enable_random_interleaving=true and compare the medians.
BENCHMARK(ToolkitBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ToolkitSharp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ToolkitBilinearOpacity)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ToolkitSharpOpacity)->Unit(benchmark::kMillisecond)->UseRealTime();
// The same for the eight-lane loops: --benchmark_filter=EightLanes.
BENCHMARK(EightLanesBilinear)->Unit(benchmark::kMillisecond);
BENCHMARK(EightLanesSharp)->Unit(benchmark::kMillisecond);
BENCHMARK(EightLanesBilinearOpacity)->Unit(benchmark::kMillisecond);
BENCHMARK(EightLanesSharpOpacity)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
