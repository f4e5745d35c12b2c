// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/twave.h"

#include <cstdint>
#include <span>
#include <vector>

struct soxr;

namespace brev {

// Turns interleaved float frames of any rate and channel count into the one sample format:
// the first two channels (mono to both), resampled to 44100 Hz by libsoxr at very high
// quality, rounded to 16 bits with saturation and no dither. Feed it in blocks, then finish().
class LoopConverter {
public:
    // knownFrames, the input's exact length when its header gives one, sizes the result up
    // front. Raises brev::Error when the rate lies outside kMinInputRate … kMaxInputRate, when
    // knownFrames would convert to more than a loop holds, or when the resampler cannot be set
    // up.
    LoopConverter(int inputRate, int channels, std::int64_t knownFrames = 0);
    LoopConverter(const LoopConverter&) = delete;
    LoopConverter& operator=(const LoopConverter&) = delete;
    ~LoopConverter();

    // samples holds whole frames of the input's channel count, in [-1, 1) at full scale. Raises
    // brev::Error as soon as the result grows beyond what a loop holds.
    void push(std::span<const float> samples);
    // Drains the resampler and hands over the converted wave, its block moved, not copied.
    BrevWave::TWave finish();

private:
    void resample(const float* stereo, std::size_t frames);
    void append(const float* stereo, std::size_t frames);
    void reserve(std::size_t bytes);

    int channels_;
    double ratio_;
    soxr* resampler_ = nullptr;
    std::vector<float> stereo_;
    std::vector<float> resampled_;
    BrevWave::PcmBlock block_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// The rates a loop is converted from; anything else is a damaged or hostile header.
constexpr int kMinInputRate = 1000;
constexpr int kMaxInputRate = 768000;

// A float sample at full scale 1.0 as a 16-bit sample: rounded to nearest (ties to even),
// saturated at the limits; NaN gives 0.
std::int16_t toSample16(float value);

} // namespace brev
