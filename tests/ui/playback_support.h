// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/twave.h"
#include "controls/brev_led.h"
#include "editor/ui/interface_form.h"
#include "output/tds.h"
#include "tests/support/test_waves.h"
#include "tests/ui/window_probe.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brev::test {

// The engine on the null output, writing what it plays to capture when that is not empty.
inline std::unique_ptr<TDS> silentEngine(int driverIndex, const std::string& capture) {
    OutputOptions output;
    output.nullOutput = true;
    output.capturePath = capture;
    return std::make_unique<TDS>(driverIndex, output);
}

// The index of the lamp that is lit; -1 when none is.
inline int litLed(const TInterfaceForm& form) {
    for (int i = 0; i < kSlotCount; ++i) {
        if (probe(form).component<TBrevLED>(QStringLiteral("LED%1").arg(i))->State())
            return i;
    }
    return -1;
}

// The left channel of a capture the null output wrote.
inline std::vector<std::int16_t> leftChannelOf(const std::string& capture) {
    BrevWave::TWave wave;
    wave.LoadFromFile(capture);
    const std::vector<std::int16_t> samples = samplesOf(wave);
    std::vector<std::int16_t> left;
    for (std::size_t i = 0; i < samples.size(); i += 2)
        left.push_back(samples[i]);
    return left;
}

} // namespace brev::test
