// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

// Per-sample arithmetic of the effects, kept apart so the fast paths can be checked against
// the plain formulas.
namespace brev {

// Interleaved stereo 16-bit frames as two channels of floats, a sample / 32768 exactly; no
// allocation.
inline void splitToFloats(const std::int16_t* frames, std::size_t count, float* left,
                          float* right) {
    for (std::size_t i = 0; i < count; ++i) {
        left[i] = frames[2 * i] * (1.0f / 32768);
        right[i] = frames[2 * i + 1] * (1.0f / 32768);
    }
}

// Truncates toward zero and saturates at -32768 ... 32767.
std::int16_t toSample(double value);

// 20 log10 |s|, and 0 for a silent sample.
double sampleLevel(int sample);

// The level form, straight from the formula: lower the level by attenuation dB (negative
// raises it), floor the level at 0 dB, restore the sign.
std::int16_t changeLevelReference(int sample, double attenuation);

// The same result from a table of levels; the power is skipped when the level floors at 0.
std::int16_t changeLevel(int sample, double attenuation);

// One attenuation applied to many samples: each magnitude is computed once, on first use.
class LevelTable {
public:
    explicit LevelTable(double attenuation);
    // Inline, as it runs once per sample; the first use of a magnitude computes it.
    std::int16_t operator()(int sample) {
        const int index = sample + 32768;
        const std::int32_t known = results_[static_cast<std::size_t>(index)];
        return known != kUnknown ? static_cast<std::int16_t>(known) : compute(sample);
    }

    // This thread's table for attenuation, kept from call to call: the slots of a render mostly
    // share one attenuation, and then no magnitude is computed twice.
    static LevelTable& forAttenuation(double attenuation);

private:
    static constexpr std::int32_t kUnknown = INT32_MIN;
    std::int16_t compute(int sample);

    double attenuation_;
    // Result by sample + 32768; kUnknown until computed (with its mirror sample, which shares
    // the magnitude).
    std::vector<std::int32_t> results_;
};

// Factor s * (i * (1 / n)).
std::int16_t linearFade(int sample, int position, int length);
// Attenuation (96 / n) * (n - i) dB of a logarithmic fade.
double logFadeAttenuation(int position, int length);

// The slow-down of a stopping deck: input frame k is spread over floor((k + 1) / step) + 1
// output frames with linear steps. Fills all `frames` output frames (interleaved stereo) from
// the input of the same length and returns how many input frames were used.
int deckstopStretch(const std::int16_t* input, std::int16_t* output, int frames, int step);
// The same slow-down with output and input in one buffer of PCM bytes (whole frames); no copy of
// the input is needed because it is worked from the end backwards. Returns the same count.
int deckstopStretchInPlace(std::uint8_t* pcm, int frames, int step);

} // namespace brev
