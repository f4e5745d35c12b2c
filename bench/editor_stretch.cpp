// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stretching a 2-second loop to another tempo (and pitch), alone and with the render of all 16
// slots that follows it, as a share of one bar at the target tempo: below 1, a worker that
// follows a clock has the stretched loop ready before the next bar.

#include "audio/loop_stretcher.h"
#include "audio/segment_store.h"
#include "editor/core/pattern_model.h"
#include "editor/core/render.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int kLoopFrames = 88200; // 2 seconds: 120 BPM
constexpr int kTargetCentiBpm = 14000;
constexpr double kBarSeconds = 60.0 / 140 * 4;

// Noise hits on the eighths over a low tone, like a break.
BrevWave::TWave breakLoop() {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> noise(-12000, 12000);
    std::vector<std::int16_t> samples;
    for (int i = 0; i < kLoopFrames; ++i) {
        const double decay = std::exp(-(i % (kLoopFrames / 8)) / 1500.0);
        const double tone = 5000 * std::sin(2 * 3.14159265 * 55 * i / 44100);
        samples.push_back(static_cast<std::int16_t>(tone + decay * noise(random)));
        samples.push_back(static_cast<std::int16_t>(tone - decay * noise(random)));
    }
    return BrevWave::TWave(samples.data(), static_cast<std::int32_t>(samples.size() * 2));
}

template <typename Body> void perBar(benchmark::State& state, Body body) {
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        body();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["bar_share"] = seconds / static_cast<double>(state.iterations()) / kBarSeconds;
}

void BM_Stretch(benchmark::State& state) {
    const BrevWave::TWave loop = breakLoop();
    const brev::LoopStretch stretch{kTargetCentiBpm, static_cast<int>(state.range(0))};
    perBar(state, [&] { benchmark::DoNotOptimize(brev::stretchLoop(loop, stretch)); });
}
BENCHMARK(BM_Stretch)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_StretchAndRenderAllSlots(benchmark::State& state) {
    const BrevWave::TWave loop = breakLoop();
    brev::PatternModel pattern;
    brev::SegmentStore store;
    perBar(state, [&] {
        store.load(brev::stretchLoop(loop, {kTargetCentiBpm, 0}), 0);
        brev::renderAll(pattern, store);
    });
}
BENCHMARK(BM_StretchAndRenderAllSlots)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
