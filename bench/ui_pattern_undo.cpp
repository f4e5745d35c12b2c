// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's pattern costs with a loop loaded: rendering a slot from the window's values,
// and undoing 40 steps, each a volume change of one slot, so every step writes its value back and
// renders its slot again.
#include "audio/twave.h"
#include "bench/qt_benchmark_main.h"
#include "editor/core/pattern_controls.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/pattern_history.h"
#include "output/tds.h"
#include "tests/ui/window_probe.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

constexpr int kSteps = 40;
constexpr std::int32_t kLoopFrames = 88200; // a 2-second loop

QString writeLoop(const QTemporaryDir& dir) {
    BrevWave::TWave wave;
    wave.SetLength(kLoopFrames);
    auto* samples = reinterpret_cast<std::int16_t*>(wave.GetData());
    for (std::int32_t i = 0; i < 2 * kLoopFrames; ++i)
        samples[i] = static_cast<std::int16_t>((i * 37) % 20000 - 10000);
    const QString path = dir.filePath(QStringLiteral("loop.wav"));
    wave.SaveToFile(path.toStdString());
    return path;
}

// A started window on the null output with a 2-second loop loaded; false when it did not load.
bool startWithLoop(brev::TInterfaceForm& form, const QTemporaryDir& dir) {
    brev::EditorOptions options;
    options.makeEngine = [](int index) {
        brev::OutputOptions output;
        output.nullOutput = true;
        return std::make_unique<brev::TDS>(index, output);
    };
    options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
    form.start(options);
    form.loadDroppedFile(writeLoop(dir));
    QElapsedTimer waited;
    waited.start();
    while ((form.loading() || !form.engine().IsLoaded()) && waited.elapsed() < 10000)
        QApplication::processEvents();
    return form.engine().IsLoaded();
}

void BM_WindowSlotRender(benchmark::State& state) {
    QTemporaryDir dir;
    brev::TInterfaceForm form;
    if (!startWithLoop(form, dir)) {
        state.SkipWithError("the loop did not load");
        return;
    }
    form.pattern().SetCheckValue(brev::slotControlName(brev::kReverseCheckText, 3), true);
    form.pattern().SetNumberValue(brev::slotControlName(brev::kVolumeNumber, 3), -6);
    for (auto _ : state)
        form.RenderSegment(3);
}
BENCHMARK(BM_WindowSlotRender)->Unit(benchmark::kMicrosecond);

void BM_Undo40Steps(benchmark::State& state) {
    QTemporaryDir dir;
    brev::TInterfaceForm form;
    if (!startWithLoop(form, dir)) {
        state.SkipWithError("the loop did not load");
        return;
    }
    brev::PatternHistory& history = probe(form).history();
    for (int step = 0; step < kSteps; ++step) {
        history.openStep();
        form.pattern().SetNumberValue(brev::slotControlName(brev::kVolumeNumber, step % 16),
                                      step / 16 + 1);
        history.closeStep();
    }
    for (auto _ : state) {
        for (int step = 0; step < kSteps; ++step)
            history.undo();
        state.PauseTiming();
        for (int step = 0; step < kSteps; ++step)
            history.redo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Undo40Steps)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runWidgetBenchmarks(argc, argv);
}
