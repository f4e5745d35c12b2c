// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tone_burst.h"

#include "tests/support/test_waves.h"

#include <cmath>

namespace brev::test {

BrevWave::TWave toneBurstLoop() {
    std::vector<std::int16_t> samples(2 * kLoopFrames, 0);
    for (int i = 0; i < 11025; ++i) {
        const auto value = static_cast<std::int16_t>(20000 * std::sin(2 * M_PI * 1000 * i / 44100));
        samples[2 * i] = samples[2 * i + 1] = value;
    }
    return waveOfSamples(samples);
}

std::vector<double> onsets(const JackTestClient& tester,
                           std::uint32_t JackTestClient::Period::*place,
                           std::vector<std::size_t>* samples) {
    // The periods first: the samples of every period published are there by then.
    const std::vector<JackTestClient::Period> periods = tester.periods();
    const std::vector<float> left = tester.left();
    std::vector<double> found;
    std::size_t quiet = 1000;
    for (const JackTestClient::Period& period : periods) {
        for (std::size_t i = 0; i < period.frames; ++i) {
            if (std::fabs(left[period.firstSample + i]) <= 0.3f) {
                ++quiet;
                continue;
            }
            if (quiet >= 1000) {
                found.push_back(double(period.*place) + double(i));
                if (samples != nullptr)
                    samples->push_back(period.firstSample + i);
            }
            quiet = 0;
        }
    }
    return found;
}

double toneFrequency(const std::vector<float>& left, std::size_t onset, double rate) {
    double first = -1, last = -1;
    int cycles = -1;
    for (std::size_t i = onset + 200; i + 1 < left.size() && i < onset + 200 + 0.08 * rate; ++i) {
        if (left[i] < 0 && left[i + 1] >= 0) {
            last = double(i) + left[i] / (left[i] - left[i + 1]);
            if (first < 0)
                first = last;
            ++cycles;
        }
    }
    return cycles > 0 ? cycles * rate / (last - first) : 0;
}

} // namespace brev::test
