// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loop_converter.h"

#include "base/error.h"
#include "base/little_endian.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <soxr.h>
#include <string>
#include <utility>

namespace brev {

namespace {

constexpr std::size_t kMaxBytes = INT32_MAX / BrevWave::kFrameBytes * BrevWave::kFrameBytes;
constexpr std::size_t kMaxRoomFrames = std::size_t{1} << 17;
// Beyond the length the rates give, for what the resampler's rounding adds.
constexpr std::size_t kSlackBytes = 1024 * BrevWave::kFrameBytes;

Error tooLong() {
    return Error("Too long: a loop holds at most " +
                 std::to_string(kMaxBytes / BrevWave::kBytesPerSecond) + " seconds");
}

} // namespace

std::int16_t toSample16(float value) {
    const float scaled = value * 32768.0f;
    if (scaled >= 32767.0f)
        return 32767;
    if (scaled <= -32768.0f)
        return -32768;
    if (std::isnan(scaled))
        return 0;
    return static_cast<std::int16_t>(std::lrintf(scaled));
}

LoopConverter::LoopConverter(int inputRate, int channels, std::int64_t knownFrames)
    : channels_(channels), ratio_(double{BrevWave::kSampleRate} / inputRate) {
    if (inputRate < kMinInputRate || inputRate > kMaxInputRate)
        throw Error("Unsupported sample rate: " + std::to_string(inputRate) +
                    " Hz (a loop is converted from " + std::to_string(kMinInputRate) + " to " +
                    std::to_string(kMaxInputRate) + " Hz)");
    if (channels < 1)
        throw Error("Cannot convert " + std::to_string(channels) + " channels");
    if (knownFrames > 0) {
        const double bytes =
            std::ceil(static_cast<double>(knownFrames) * ratio_) * BrevWave::kFrameBytes;
        if (bytes > kMaxBytes)
            throw tooLong();
        reserve(std::min(static_cast<std::size_t>(bytes) + kSlackBytes, kMaxBytes));
    }
    if (inputRate == BrevWave::kSampleRate)
        return;
    // One thread: the same samples on every machine, and the CPU time the user expects.
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    resampler_ = soxr_create(inputRate, BrevWave::kSampleRate, BrevWave::kChannels, &error, &io,
                             &quality, &runtime);
    if (error)
        throw Error(std::string("Cannot set up the resampler: ") + error);
}

LoopConverter::~LoopConverter() {
    soxr_delete(resampler_);
}

void LoopConverter::push(std::span<const float> samples) {
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels_);
    stereo_.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const float* frame = samples.data() + i * static_cast<std::size_t>(channels_);
        stereo_[2 * i] = frame[0];
        stereo_[2 * i + 1] = channels_ > 1 ? frame[1] : frame[0];
    }
    if (resampler_)
        resample(stereo_.data(), frames);
    else
        append(stereo_.data(), frames);
}

void LoopConverter::resample(const float* stereo, std::size_t frames) {
    // Room for about the output of this block, bounded for extreme rate ratios: what does not
    // fit stays in the filter for the next call. A null input drains what the filter holds.
    const std::size_t room = static_cast<std::size_t>(
        std::min(static_cast<double>(frames) * ratio_ + 1024, double{kMaxRoomFrames}));
    resampled_.resize(room * 2);
    std::size_t used = 0;
    for (;;) {
        std::size_t taken = 0;
        std::size_t made = 0;
        const float* input = stereo ? stereo + 2 * used : nullptr;
        if (const soxr_error_t error = soxr_process(resampler_, input, frames - used, &taken,
                                                    resampled_.data(), room, &made))
            throw Error(std::string("Resampling failed: ") + error);
        if (stereo && taken == 0 && made == 0)
            throw Error("Resampling failed: no progress");
        append(resampled_.data(), made);
        used += taken;
        if (stereo ? used >= frames : made == 0)
            return;
    }
}

void LoopConverter::append(const float* stereo, std::size_t frames) {
    const std::size_t bytes = frames * BrevWave::kFrameBytes;
    if (bytes > kMaxBytes - size_)
        throw tooLong();
    if (size_ + bytes > capacity_)
        reserve(
            std::min(std::max(size_ + bytes, capacity_ + capacity_ / 2 + kSlackBytes), kMaxBytes));
    std::uint8_t* out = block_.get() + size_;
    for (std::size_t i = 0; i < frames * 2; ++i) {
        writeLe16(out + 2 * i, static_cast<std::uint16_t>(toSample16(stereo[i])));
    }
    size_ += bytes;
}

// Pages of the block are taken only as samples are written, and growing a large block moves
// its pages rather than copying them, so the peak stays near the converted loop's size.
void LoopConverter::reserve(std::size_t bytes) {
    if (!block_) {
        block_ = BrevWave::allocatePcmBlock(bytes);
    } else if (void* grown = std::realloc(block_.get(), bytes)) {
        (void)block_.release();
        block_.reset(static_cast<std::uint8_t*>(grown));
    } else {
        throw std::bad_alloc();
    }
    if (!block_)
        throw std::bad_alloc();
    capacity_ = bytes;
}

BrevWave::TWave LoopConverter::finish() {
    if (resampler_)
        resample(nullptr, 0);
    capacity_ = 0;
    return {std::move(block_), static_cast<std::int32_t>(std::exchange(size_, 0))};
}

} // namespace brev
