// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the waveform strip costs while a loop plays: measuring a rendered slot, and painting
// the strip (all of it: the most any paint while playing draws). Per pass of a loop the strip
// measures 16 slots and paints at most 16 times, once per slot start.
#include "audio/segment_store.h"
#include "bench/qt_benchmark_main.h"
#include "editor/ui/waveform_strip.h"

#include <QImage>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <random>

namespace {

constexpr std::int32_t kLoopFrames = 88200; // a 2-second loop

brev::SegmentStore noiseLoop() {
    std::vector<std::int16_t> samples(std::size_t{2} * kLoopFrames);
    std::mt19937 draw(7);
    std::normal_distribution<double> noise(0.0, 6000.0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        // Decaying hits, eight to the bar, as a drum loop has.
        const double envelope = 1.0 - double(i / 2 % (kLoopFrames / 8)) / (kLoopFrames / 8.0);
        samples[i] =
            static_cast<std::int16_t>(std::clamp(noise(draw) * envelope, -32768.0, 32767.0));
    }
    BrevWave::TWave wave;
    wave.SetLength(kLoopFrames);
    std::memcpy(wave.GetData(), samples.data(), samples.size() * sizeof(std::int16_t));
    brev::SegmentStore store;
    store.load(std::move(wave), 0);
    return store;
}

struct Strip {
    brev::SegmentStore store = noiseLoop();
    brev::WaveformStrip widget;
    Strip() {
        widget.resize(529, 48);
        widget.showLoop(store);
        widget.setPlayingSlot(7);
    }
};

void BM_MeasureRenderedSlot(benchmark::State& state) {
    Strip strip;
    int slot = 0;
    for (auto _ : state) {
        strip.widget.slotRendered(strip.store, slot);
        slot = (slot + 1) % 16;
    }
}
BENCHMARK(BM_MeasureRenderedSlot);

void BM_PaintWholeStrip(benchmark::State& state) {
    Strip strip;
    QImage image(strip.widget.size(), QImage::Format_RGB32);
    for (auto _ : state)
        strip.widget.render(&image);
}
BENCHMARK(BM_PaintWholeStrip);

} // namespace

int main(int argc, char** argv) {
    return runWidgetBenchmarks(argc, argv);
}
