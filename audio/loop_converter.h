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
    // expectedFrames, when known, sizes the result up front. Raises brev::Error when the
    // resampler cannot be set up.
    LoopConverter(double inputRate, int channels, std::int64_t expectedFrames = 0);
    LoopConverter(const LoopConverter&) = delete;
    LoopConverter& operator=(const LoopConverter&) = delete;
    ~LoopConverter();

    // samples holds whole frames of the input's channel count, in [-1, 1) at full scale.
    void push(std::span<const float> samples);
    // Drains the resampler and hands over the converted wave.
    BrevWave::TWave finish();

private:
    void resample(const float* stereo, std::size_t frames);
    void append(const float* stereo, std::size_t frames);

    int channels_;
    double ratio_;
    soxr* resampler_ = nullptr;
    std::vector<float> stereo_;
    std::vector<float> resampled_;
    std::vector<std::uint8_t> bytes_;
};

// A float sample at full scale 1.0 as a 16-bit sample: rounded to nearest (ties to even),
// saturated at the limits; NaN gives 0.
std::int16_t toSample16(float value);

} // namespace brev
