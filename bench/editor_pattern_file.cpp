// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing a full pattern file's text: every slot key and global key present.

#include "editor/core/pattern_file.h"
#include "editor/core/pattern_model.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

// A saved pattern with every value away from its default, as a user's file would hold.
std::string fullPattern() {
    brev::PatternModel model;
    for (int slot = 0; slot < brev::kSlotCount; ++slot) {
        model.SetNumberValue(brev::slotControlName(brev::kSegmentNumber, slot), 15 - slot);
        model.SetNumberValue(brev::slotControlName(brev::kRepeatsNumber, slot), slot + 2);
        model.SetNumberValue(brev::slotControlName(brev::kVolumeNumber, slot), slot - 8);
        model.SetCheckValue(brev::slotControlName(brev::kReverseCheckText, slot), slot % 2 == 0);
        model.SetCheckValue(brev::slotControlName(brev::kFadeInCheckText, slot), true);
    }
    model.SetNumberValue(brev::kSwingNumber, 33);
    return brev::writePatternText(model, "[Saved Pattern]\nComment=Break A\n");
}

void BM_ReadFullPattern(benchmark::State& state) {
    const std::string text = fullPattern();
    for (auto _ : state) {
        brev::PatternModel model;
        benchmark::DoNotOptimize(brev::readPatternText(model, text));
    }
}
BENCHMARK(BM_ReadFullPattern);

void BM_WriteFullPattern(benchmark::State& state) {
    const std::string text = fullPattern();
    brev::PatternModel model;
    brev::readPatternText(model, text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(brev::writePatternText(model, text));
    }
}
BENCHMARK(BM_WriteFullPattern);

} // namespace

BENCHMARK_MAIN();
