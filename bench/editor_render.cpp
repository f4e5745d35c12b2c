// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Slot rendering against its time budgets: each benchmark reports "budget_share", the
// time of one run as a share of its budget (below 1 is within budget).

#include "audio/segment_store.h"
#include "audio/twave.h"
#include "editor/core/pattern_model.h"
#include "editor/core/render.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

namespace {

constexpr int kLoopFrames = 88200; // a 2-second loop

BrevWave::TWave drumLoop() {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < kLoopFrames; ++i) {
        double decay = std::exp(-(i % 5512) / 800.0);
        samples.push_back(static_cast<std::int16_t>(20000 * decay * std::sin(i * 0.05)));
        samples.push_back(static_cast<std::int16_t>(18000 * decay * std::sin(i * 0.031)));
    }
    return BrevWave::TWave(samples.data(), static_cast<std::int32_t>(samples.size() * 2));
}

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs body and reports seconds per run as a share of budgetSeconds: "budget_share" from the
// wall clock, "budget_share_cpu" from this thread's CPU time (the fairer figure on a busy host).
template <typename Body> void measure(benchmark::State& state, double budgetSeconds, Body body) {
    double wall = 0;
    double cpu = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpuStart = threadSeconds();
        body();
        cpu += threadSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    auto runs = static_cast<double>(state.iterations());
    state.counters["budget_share"] = wall / runs / budgetSeconds;
    state.counters["budget_share_cpu"] = cpu / runs / budgetSeconds;
    state.counters["budget_ms"] = budgetSeconds * 1000;
}

void BM_HeaviestSlot(benchmark::State& state) {
    brev::SegmentStore store;
    store.load(drumLoop(), 0);
    brev::PatternModel pattern;
    const int slot = 0;
    for (auto flag : {brev::kStaccatoCheckText, brev::kDeckstopCheckText, brev::kReverseCheckText,
                      brev::kMuteCheckText, brev::kMuteLeftCheckText, brev::kMuteRightCheckText,
                      brev::kFlipCheckText, brev::kPhaseCheckText, brev::kFadeInCheckText,
                      brev::kFadeOutCheckText}) {
        pattern.SetCheckValue(brev::slotControlName(flag, slot), true);
    }
    pattern.SetNumberValue(brev::slotControlName(brev::kRepeatsNumber, slot), 99);
    pattern.SetNumberValue(brev::slotControlName(brev::kVolumeNumber, slot), 12);
    pattern.SetNumberValue(brev::kCuttingAngleNumber, 45);
    pattern.setToggleDown(brev::kLogFadesButton, true);
    pattern.setToggleDown(brev::kInnerFadesButton, true);

    // 2 % of the slot's play time at the fastest playback rate.
    double budget = 0.02 * store.NaturalLength(slot) / 88200.0;
    measure(state, budget, [&] { brev::RenderSegment(pattern, store, slot); });
}
BENCHMARK(BM_HeaviestSlot);

void BM_DefaultPatternAllSlots(benchmark::State& state) {
    brev::SegmentStore store;
    store.load(drumLoop(), 0);
    brev::PatternModel pattern;
    measure(state, 0.0002, [&] { brev::renderAll(pattern, store); });
}
BENCHMARK(BM_DefaultPatternAllSlots);

} // namespace

BENCHMARK_MAIN();
