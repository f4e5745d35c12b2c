// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The plugin's run as a share of a 256-frame block at 48 kHz: steady, and the blocks where a
// bar starts with new bars to take over (another pattern and another tempo, kept in pitch).
// Target: steady under 1 % of the block.
#include "audio/twave.h"
#include "plugin/player_engine.h"
#include "thread_cpu.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

using brev::bench::shareOf;
using brev::bench::threadCpuSeconds;

constexpr double kRate = 48000;
constexpr std::uint32_t kBlock = 256;
constexpr double kBlockSeconds = kBlock / kRate;

// A 2-second noise loop in a folder of its own, removed when done.
class NoiseLoopFile {
public:
    NoiseLoopFile() {
        std::string folder =
            (std::filesystem::temp_directory_path() / "brev-bench-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            std::abort();
        folder_ = folder;
        BrevWave::TWave wave;
        wave.SetLength(2 * 44100);
        std::mt19937 random(1);
        for (std::int32_t byte = 0; byte < wave.GetSamples() * 4; ++byte)
            wave.GetData()[byte] = static_cast<std::uint8_t>(random() >> 26);
        wave.SaveToFile(path());
    }
    ~NoiseLoopFile() { std::filesystem::remove_all(folder_); }
    std::string path() const { return (folder_ / "loop.wav").string(); }

private:
    std::filesystem::path folder_;
};

// Plays blocks at a tempo, counting the host's frames and beats.
class Host {
public:
    explicit Host(brev::PlayerEngine& engine) : engine_(engine) {}
    void play(double bpm) {
        engine_.begin({true, beats_, bpm, frame_}, kBlock, kBlock);
        engine_.renderTo(kBlock, left_.data(), right_.data());
        benchmark::DoNotOptimize(left_.data());
        frame_ += kBlock;
        beats_ += kBlock / kRate * bpm / 60;
    }
    // Plays on until the next block holds a bar start.
    void playToBarStart(double bpm) {
        const double beatsPerBlock = kBlock / kRate * bpm / 60;
        while (std::floor((beats_ + beatsPerBlock) / 4) == std::floor(beats_ / 4))
            play(bpm);
    }

private:
    brev::PlayerEngine& engine_;
    std::array<float, kBlock> left_{}, right_{};
    std::uint64_t frame_ = 0;
    double beats_ = 0;
};

void steadyBlock(benchmark::State& state) {
    NoiseLoopFile loop;
    brev::PlayerEngine engine(kRate);
    engine.settings().set("loop", loop.path());
    Host host(engine);
    for (int block = 0; block < 2000; ++block) // faster than real time: waits for the bars
        host.play(120);
    const double start = threadCpuSeconds();
    for (auto _ : state)
        host.play(120);
    state.counters["pct_of_block"] = shareOf(state, start, kBlockSeconds);
    state.counters["pct_target"] = 1;
}
BENCHMARK(steadyBlock);

void takeOverBlock(benchmark::State& state) {
    NoiseLoopFile loop;
    brev::PlayerEngine engine(kRate);
    engine.settings().set("loop", loop.path());
    Host host(engine);
    double cpu = 0;
    double bpm = 120;
    for (auto _ : state) {
        state.PauseTiming();
        bpm = bpm == 120 ? 121 : 120;
        engine.choose(static_cast<int>(state.iterations() % 2));
        host.playToBarStart(bpm); // offline: the new bars are made before the bar starts
        const double start = threadCpuSeconds();
        state.ResumeTiming();
        host.play(bpm);
        cpu += threadCpuSeconds() - start;
    }
    state.counters["pct_of_block"] =
        100 * cpu / static_cast<double>(state.iterations()) / kBlockSeconds;
}
BENCHMARK(takeOverBlock)->Iterations(40);

} // namespace

BENCHMARK_MAIN();
