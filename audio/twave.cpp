// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/twave.h"

#include "base/little_endian.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sys/mman.h>
#include <utility>

namespace BrevWave {

using brev::Error;

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

PcmBlock allocateBlock(std::int64_t bytes, const char* message) {
    if (bytes <= 0 || bytes > std::numeric_limits<std::int32_t>::max())
        throw Error(message);
    PcmBlock block = allocatePcmBlock(static_cast<std::size_t>(bytes));
    if (!block)
        throw Error(message);
    return block;
}

} // namespace

void PcmBlockFree::operator()(std::uint8_t* block) const noexcept {
    std::free(block);
}

PcmBlock allocatePcmBlock(std::size_t bytes) noexcept {
    if (bytes == 0)
        return nullptr;
    if (bytes >= kHugePage) {
        // A tail of at least half a huge page gets one too; a shorter one stays on small pages,
        // so at most half a huge page is taken beyond the block's end.
        const std::size_t tail = bytes % kHugePage;
        const std::size_t huge = tail >= kHugePage / 2 ? bytes - tail + kHugePage : bytes - tail;
        void* block = nullptr;
        if (::posix_memalign(&block, kHugePage, std::max(bytes, huge)) != 0)
            return nullptr;
        (void)::madvise(block, huge, MADV_HUGEPAGE);
        return PcmBlock(static_cast<std::uint8_t*>(block));
    }
    return PcmBlock(static_cast<std::uint8_t*>(std::malloc(bytes)));
}

std::array<std::uint8_t, 18> WaveFormat::encode() const {
    std::array<std::uint8_t, 18> out{};
    brev::writeLe16(&out[0], formatTag);
    brev::writeLe16(&out[2], channels);
    brev::writeLe32(&out[4], samplesPerSec);
    brev::writeLe32(&out[8], avgBytesPerSec);
    brev::writeLe16(&out[12], blockAlign);
    brev::writeLe16(&out[14], bitsPerSample);
    brev::writeLe16(&out[16], extraSize);
    return out;
}

WaveFormat pcmWaveFormat() {
    WaveFormat format;
    format.formatTag = 1;
    format.channels = kChannels;
    format.samplesPerSec = kSampleRate;
    format.avgBytesPerSec = kBytesPerSecond;
    format.blockAlign = kFrameBytes;
    format.bitsPerSample = kBitsPerSample;
    format.extraSize = 0;
    return format;
}

TWave::TWave() = default;

TWave::TWave(const void* bytes, std::int32_t count) {
    if (count > 0) {
        FPcmData = allocateBlock(count, "Error allocating memory for FPcmData");
        std::memcpy(FPcmData.get(), bytes, static_cast<std::size_t>(count));
        FLength = count;
    }
}

TWave::TWave(PcmBlock block, std::int32_t count) noexcept
    : FPcmData(count > 0 ? std::move(block) : nullptr), FLength(count > 0 ? count : 0) {}

TWave::TWave(const TWave& other)
    : FSwing(other.FSwing), FEvenUnitSize(other.FEvenUnitSize), FOddUnitSize(other.FOddUnitSize),
      FDivisions(other.FDivisions) {
    if (other.FLength > 0) {
        FPcmData = allocateBlock(other.FLength, "Operator = - Error allocating memory");
        std::memcpy(FPcmData.get(), other.FPcmData.get(), static_cast<std::size_t>(other.FLength));
        FLength = other.FLength;
    }
}

TWave::TWave(TWave&& other) noexcept
    : FPcmData(std::move(other.FPcmData)), FLength(std::exchange(other.FLength, 0)),
      FSwing(std::exchange(other.FSwing, 0)), FEvenUnitSize(std::exchange(other.FEvenUnitSize, 0)),
      FOddUnitSize(std::exchange(other.FOddUnitSize, 0)), FDivisions(std::move(other.FDivisions)) {
    other.FDivisions.clear();
}

TWave::~TWave() = default;

void TWave::clear() noexcept {
    FPcmData.reset();
    FLength = 0;
}

TWave& TWave::operator=(const TWave& source) {
    if (&source == this)
        return *this;
    clear();
    FSwing = source.FSwing;
    FEvenUnitSize = source.FEvenUnitSize;
    FOddUnitSize = source.FOddUnitSize;
    if (source.FLength > 0) {
        FPcmData = allocateBlock(source.FLength, "Operator = - Error allocating memory");
        std::memcpy(FPcmData.get(), source.FPcmData.get(),
                    static_cast<std::size_t>(source.FLength));
        FLength = source.FLength;
    }
    return *this;
}

TWave& TWave::operator=(TWave&& source) noexcept {
    if (&source == this)
        return *this;
    FPcmData = std::move(source.FPcmData);
    FLength = std::exchange(source.FLength, 0);
    FSwing = std::exchange(source.FSwing, 0);
    FEvenUnitSize = std::exchange(source.FEvenUnitSize, 0);
    FOddUnitSize = std::exchange(source.FOddUnitSize, 0);
    FDivisions = std::move(source.FDivisions);
    source.FDivisions.clear();
    return *this;
}

TWave& TWave::operator+=(const TWave& other) {
    const std::int64_t total = std::int64_t{FLength} + other.FLength;
    if (total == 0)
        return *this;
    // Both old blocks stay alive until the copy is done, so appending to itself doubles.
    auto block = allocateBlock(total, "Operator += - Error allocating memory");
    if (FLength > 0)
        std::memcpy(block.get(), FPcmData.get(), static_cast<std::size_t>(FLength));
    if (other.FLength > 0)
        std::memcpy(block.get() + FLength, other.FPcmData.get(),
                    static_cast<std::size_t>(other.FLength));
    FPcmData = std::move(block);
    FLength = static_cast<std::int32_t>(total);
    return *this;
}

TWave TWave::operator+(const TWave& other) const {
    TWave result;
    const std::int64_t total = std::int64_t{FLength} + other.FLength;
    if (total == 0)
        return result;
    result.FPcmData = allocateBlock(total, "Operator + - Error allocating memory");
    if (FLength > 0)
        std::memcpy(result.FPcmData.get(), FPcmData.get(), static_cast<std::size_t>(FLength));
    if (other.FLength > 0)
        std::memcpy(result.FPcmData.get() + FLength, other.FPcmData.get(),
                    static_cast<std::size_t>(other.FLength));
    result.FLength = static_cast<std::int32_t>(total);
    return result;
}

void TWave::SetLength(std::int32_t frames) {
    const std::int64_t bytes = frames > 0 ? std::int64_t{frames} * kFrameBytes : 0;
    if (bytes == 0) {
        clear();
        return;
    }
    auto block = allocateBlock(bytes, "SetLength - Error allocating memory (2)");
    const std::int64_t kept = std::min<std::int64_t>(bytes, FLength);
    if (kept > 0)
        std::memcpy(block.get(), FPcmData.get(), static_cast<std::size_t>(kept));
    if (bytes > kept)
        std::memset(block.get() + kept, 0, static_cast<std::size_t>(bytes - kept));
    FPcmData = std::move(block);
    FLength = static_cast<std::int32_t>(bytes);
}

TWave TWave::unwritten(std::int32_t frames) {
    TWave wave;
    const std::int64_t bytes = std::int64_t{frames} * kFrameBytes;
    wave.FPcmData = allocateBlock(bytes, "Error allocating memory for FPcmData");
    wave.FLength = static_cast<std::int32_t>(bytes);
    return wave;
}

void TWave::GetWaveFormat(WaveFormat& format) const {
    format = pcmWaveFormat();
}

} // namespace BrevWave
