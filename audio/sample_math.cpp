// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/sample_math.h"

#include "audio/loop_layout.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace brev {

namespace {

constexpr int kMaxMagnitude = 32768;

// Bit for bit the values sampleLevel's formula gives, computed once. The bound is read at run
// time so the compiler cannot fold the table with its own, differently rounded logarithm.
const std::array<double, kMaxMagnitude + 1>& levelTable() {
    static const auto table = [] {
        std::array<double, kMaxMagnitude + 1> levels{};
        volatile int top = kMaxMagnitude;
        for (int m = 1; m <= top; ++m)
            levels[static_cast<std::size_t>(m)] = 20.0 * std::log10(static_cast<double>(m));
        return levels;
    }();
    return table;
}

// Truncated magnitude after the level change; saturation happens with the sign.
std::int32_t changedMagnitude(int magnitude, double attenuation) {
    double level = levelTable()[static_cast<std::size_t>(magnitude)] - attenuation;
    if (level < 0)
        level = 0;
    if (level == 0)
        return 1;
    const double value = std::pow(10.0, 0.05 * level);
    return value >= kMaxMagnitude ? kMaxMagnitude : static_cast<std::int32_t>(value);
}

std::int16_t withSign(int sample, std::int32_t magnitude) {
    if (sample < 0)
        return static_cast<std::int16_t>(-std::min(magnitude, kMaxMagnitude));
    return static_cast<std::int16_t>(std::min(magnitude, kMaxMagnitude - 1));
}

} // namespace

std::int16_t toSample(double value) {
    if (value >= 32767.0)
        return 32767;
    if (value <= -32768.0)
        return -32768;
    return static_cast<std::int16_t>(static_cast<int>(value));
}

double sampleLevel(int sample) {
    return sample != 0 ? 20.0 * std::log10(std::abs(static_cast<double>(sample))) : 0.0;
}

std::int16_t changeLevelReference(int sample, double attenuation) {
    double level = sampleLevel(sample) - attenuation;
    if (level < 0)
        level = 0;
    double value = std::pow(10.0, 0.05 * level);
    if (sample < 0)
        value = -value;
    return toSample(value);
}

std::int16_t changeLevel(int sample, double attenuation) {
    return withSign(sample, changedMagnitude(std::abs(sample), attenuation));
}

LevelTable::LevelTable(double attenuation)
    : attenuation_(attenuation), results_(std::size_t{2} * kMaxMagnitude, kUnknown) {}

std::int16_t LevelTable::compute(int sample) {
    const int magnitude = std::abs(sample);
    const std::int32_t changed = changedMagnitude(magnitude, attenuation_);
    if (magnitude < kMaxMagnitude) {
        const int mirror = kMaxMagnitude - sample;
        results_[static_cast<std::size_t>(mirror)] = withSign(-sample, changed);
    }
    const std::int16_t result = withSign(sample, changed);
    const int index = kMaxMagnitude + sample;
    results_[static_cast<std::size_t>(index)] = result;
    return result;
}

LevelTable& LevelTable::forAttenuation(double attenuation) {
    thread_local LevelTable table(attenuation);
    if (table.attenuation_ != attenuation) {
        table.attenuation_ = attenuation;
        std::fill(table.results_.begin(), table.results_.end(), kUnknown);
    }
    return table;
}

std::int16_t linearFade(int sample, int position, int length) {
    return toSample(sample * (position * (1.0 / length)));
}

double logFadeAttenuation(int position, int length) {
    return (96.0 / length) * (length - position);
}

int deckstopStretch(const std::int16_t* input, std::int16_t* output, int frames, int step) {
    int out = 0;
    int in = 0;
    int stage = 0;
    int stretch = 0;
    while (out < frames) {
        if (++stage == step) {
            ++stretch;
            stage = 0;
        }
        const std::int16_t* a = input + std::ptrdiff_t{2} * in;
        // The frame behind the last one is never weighed in (only j = 0 is written there).
        const std::int16_t* b = input + std::ptrdiff_t{2} * (in + 1 < frames ? in + 1 : in);
        ++in;
        const double leftStep = static_cast<double>(b[0] - a[0]) / (stretch + 1);
        const double rightStep = static_cast<double>(b[1] - a[1]) / (stretch + 1);
        for (int j = 0; j <= stretch && out < frames; ++j, ++out) {
            output[std::ptrdiff_t{2} * out] = toSample(a[0] + leftStep * j);
            output[std::ptrdiff_t{2} * out + 1] = toSample(a[1] + rightStep * j);
        }
    }
    return in;
}

} // namespace brev

namespace brev {

namespace {

struct StereoSample {
    std::int16_t left;
    std::int16_t right;
};

StereoSample frameAt(const std::uint8_t* pcm, int index) {
    StereoSample frame;
    const std::uint8_t* at = pcm + std::ptrdiff_t{kFrameBytes} * index;
    std::memcpy(&frame.left, at, 2);
    std::memcpy(&frame.right, at + 2, 2);
    return frame;
}

} // namespace

int deckstopStretchInPlace(std::uint8_t* pcm, int frames, int step) {
    // Forward, only the bookkeeping: how many input frames are used, and the stage, stretch and
    // first output frame of the last one.
    int used = 0;
    int stage = 0;
    int stretch = 0;
    int start = 0;
    for (int out = 0; out < frames; out += stretch + 1, ++used) {
        if (++stage == step) {
            ++stretch;
            stage = 0;
        }
        start = out;
    }
    // Backward. Input frame k spreads over output frames start … start + stretch, none before k,
    // so frames k and k + 1 are read before anything overwrites them; an output frame written at
    // k itself is input frame k unchanged (the first step of a spread adds nothing).
    for (int in = used - 1; in >= 0; --in) {
        const StereoSample a = frameAt(pcm, in);
        const StereoSample b = frameAt(pcm, in + 1 < frames ? in + 1 : in);
        const double leftStep = static_cast<double>(b.left - a.left) / (stretch + 1);
        const double rightStep = static_cast<double>(b.right - a.right) / (stretch + 1);
        // Every step lies between frames a and b, so no value needs saturating: both channels
        // are truncated side by side.
        const double base[2] = {static_cast<double>(a.left), static_cast<double>(a.right)};
        const double slope[2] = {leftStep, rightStep};
        const int spread = std::min(stretch + 1, frames - start);
        std::uint8_t* out = pcm + std::ptrdiff_t{kFrameBytes} * start;
        for (int j = 0; j < spread; ++j, out += kFrameBytes) {
            std::int16_t frame[2];
            for (int channel = 0; channel < 2; ++channel)
                frame[channel] =
                    static_cast<std::int16_t>(static_cast<int>(base[channel] + slope[channel] * j));
            std::memcpy(out, frame, sizeof frame);
        }
        // The bookkeeping of the frame before: undo this frame's stage step.
        if (stage == 0) {
            --stretch;
            stage = step - 1;
        } else {
            --stage;
        }
        start -= stretch + 1;
    }
    return used;
}

} // namespace brev
