// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing a full pattern file's text: every slot key and global key present; and the
// own INI reader against SimpleIni, the library it replaced, reading that text.

#include "editor/core/ini_document.h"
#include "editor/core/pattern_file.h"
#include "editor/core/pattern_model.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>
#ifdef BREV_BENCH_SIMPLEINI
// Bytes as they are, as the pattern files were read with it: no UTF conversion.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION // its templates in this program, not from the library file
#include <SimpleIni.h>
#endif

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

// The INI readers alone, on the same text: parse it, then look up every key of the pattern
// section through a table of key names made once.
std::vector<std::string> patternSectionKeys(const std::string& text) {
    std::vector<std::string> keys;
    std::istringstream lines(text);
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with('['))
            inSection = line == "[Saved Pattern]";
        else if (const auto equals = line.find('='); inSection && equals != std::string::npos)
            keys.push_back(line.substr(0, equals));
    }
    return keys;
}

void BM_OwnReaderReadsEveryKey(benchmark::State& state) {
    const std::string text = fullPattern();
    const std::vector<std::string> keys = patternSectionKeys(text);
    for (auto _ : state) {
        const brev::IniDocument ini(text);
        const brev::IniDocument::Section* section = ini.section("Saved Pattern");
        long sum = 0;
        for (const std::string& key : keys)
            sum += std::strtol(ini.value(section, key), nullptr, 10);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["keys"] = static_cast<double>(keys.size());
}
BENCHMARK(BM_OwnReaderReadsEveryKey);

#ifdef BREV_BENCH_SIMPLEINI
void BM_SimpleIniReadsEveryKey(benchmark::State& state) {
    const std::string text = fullPattern();
    const std::vector<std::string> keys = patternSectionKeys(text);
    for (auto _ : state) {
        CSimpleIniCaseA ini;
        ini.LoadData(text.data(), text.size());
        long sum = 0;
        for (const std::string& key : keys)
            sum += std::strtol(ini.GetValue("Saved Pattern", key.c_str(), "0"), nullptr, 10);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["keys"] = static_cast<double>(keys.size());
}
BENCHMARK(BM_SimpleIniReadsEveryKey);
#endif

} // namespace

BENCHMARK_MAIN();
