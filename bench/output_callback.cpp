// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The audio callback's cost as a share of its period, and WriteSlot's as a share of a slot's
// play time. Target: the callback under 5 % of the period.
#include "audio/clipboard_port.h"
#include "audio/twave.h"
#include "output/loop_player.h"
#include "output/tds.h"
#include "thread_cpu.h"
#if BREV_BENCH_JACK
#include "jack_test_server.h"
#include "output/jack_output.h"

#include <chrono>
#include <sys/resource.h>
#include <thread>
#endif

#include <benchmark/benchmark.h>
#include <ctime>
#include <random>
#include <vector>

namespace {

using brev::bench::shareOf;
using brev::bench::threadCpuSeconds;

constexpr std::uint32_t kLoopFrames = 2 * 44100; // a 2-second loop

std::unique_ptr<brev::LoopBuffer> noiseLoop() {
    auto loop = std::make_unique<brev::LoopBuffer>(kLoopFrames);
    std::mt19937 random(1);
    for (std::uint32_t i = 0; i < kLoopFrames; ++i)
        loop->frames[i].store(random(), std::memory_order_relaxed);
    for (unsigned k = 0; k < brev::kRegionCount; ++k)
        loop->regionStarts[k] = k * (kLoopFrames / 16);
    return loop;
}

// Args: period in frames (256: what the PortAudio output asks for), playback rate in Hz.
void callbackPeriod(benchmark::State& state) {
    const auto period = static_cast<unsigned>(state.range(0));
    auto loop = noiseLoop();
    brev::LoopPlayer player;
    player.setLoop(loop.get());
    player.setRate(static_cast<std::uint32_t>(state.range(1)));
    player.play(0);
    std::vector<std::int16_t> out(std::size_t{2} * period);
    double start = threadCpuSeconds();
    for (auto _ : state) {
        player.render(out.data(), period);
        benchmark::DoNotOptimize(out.data());
        // Keep the signalled events from piling up in the counters.
        if (state.iterations() % 4096 == 0) {
            for (int k; (k = brev::waitForAny(loop->events.handles(), 16, 0)) >= 0;) {
            }
        }
    }
    state.counters["pct_of_period"] = shareOf(state, start, double(period) / brev::kDeviceRate);
    state.counters["pct_target"] = 5;
}
BENCHMARK(callbackPeriod)
    ->Args({64, 44100})
    ->Args({256, 44100})
    ->Args({256, 22050})
    ->Args({256, 88200})
    ->Args({1024, 88200});

#if BREV_BENCH_JACK
double processCpuSeconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The JACK output as a client of a jackd of its own (dummy driver, 48000 Hz), playing the loop:
// its process callback fills every period, so the process's CPU time over wall time is the
// share of each period it takes (libjack's own work included, and a small timebase master).
// Args: period in frames, sync mode (0 own clock, sending MIDI clock; 1 JACK transport).
void jackCallback(benchmark::State& state) {
    const auto period = static_cast<unsigned>(state.range(0));
    const auto sync = static_cast<brev::SyncMode>(state.range(1));
    brev::test::JackTestServer server(48000, period);
    if (!server.skipReason().empty()) {
        state.SkipWithError(server.skipReason().c_str());
        return;
    }
    brev::test::JackTestClient master(0.01);
    master.becomeTimebaseMaster(140);
    auto loop = noiseLoop();
    brev::LoopPlayer player;
    player.setLoop(loop.get());
    player.play(0);
    brev::JackOutput output(player, "brev-bench", sync);
    master.startTransport();
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double start = processCpuSeconds();
        const auto begin = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        cpu += processCpuSeconds() - start;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        for (int k; (k = brev::waitForAny(loop->events.handles(), 16, 0)) >= 0;) {
        }
    }
    state.counters["pct_of_period"] = 100 * cpu / wall;
    state.counters["xruns"] = double(output.underflows());
    state.counters["pct_target"] = 5;
}
BENCHMARK(jackCallback)
    ->Args({256, 0})
    ->Args({256, 1})
    ->Args({64, 1})
    ->Iterations(3)
    ->Unit(benchmark::kSecond);
#endif

void writeSlot(benchmark::State& state) {
    std::mt19937 random(2);
    std::vector<std::uint32_t> frames(kLoopFrames);
    for (auto& f : frames)
        f = random();
    BrevWave::TWave source(frames.data(), static_cast<std::int32_t>(4 * frames.size()));
    brev::MemoryClipboard clipboard;
    source.SaveToClipboard(clipboard);
    brev::OutputOptions silent;
    silent.nullOutput = true;
    brev::TDS engine(0, silent);
    engine.LoadSourceClipboard(clipboard, 30);
    int slot = 0;
    double start = threadCpuSeconds();
    for (auto _ : state) {
        engine.WriteSlot(slot);
        slot = (slot + 1) % 16;
    }
    // Budget: the shortest slot's play time at the fastest rate (odd slot, 88200 Hz).
    double oddSeconds = double(engine.Store().regionFrames(1)) / 88200;
    state.counters["pct_of_slot"] = shareOf(state, start, oddSeconds);
    state.counters["bytes_per_second"] = benchmark::Counter(
        4.0 * engine.Store().UnitSamples(), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(writeSlot);

} // namespace

BENCHMARK_MAIN();
