// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/pcm_effects.h"

#include "audio/sample_math.h"
#include "audio/twave.h"
#include "base/error.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace brev {

namespace {

using BrevWave::kChannels;
using BrevWave::kFrameBytes;

static_assert(std::endian::native == std::endian::little, "samples are stored little-endian");

std::int16_t getSample(const std::uint8_t* at) {
    std::int16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void setSample(std::uint8_t* at, std::int16_t value) {
    std::memcpy(at, &value, sizeof value);
}

std::int64_t framesOf(PcmBytes pcm) {
    return static_cast<std::int64_t>(pcm.size() / kFrameBytes);
}

void fade(PcmBytes pcm, int length, int offset, bool linear, bool in) {
    std::int64_t left = length;
    std::int64_t right = length;
    // A positive offset lengthens the left fade-in and the right fade-out.
    std::int64_t& longer = (offset > 0) == in ? left : right;
    longer = std::int64_t{length} + (offset > 0 ? offset : -std::int64_t{offset});
    const std::int64_t frames = framesOf(pcm);
    for (int channel = 0; channel < kChannels; ++channel) {
        const int n =
            static_cast<int>(std::clamp<std::int64_t>(channel == 0 ? left : right, 0, frames));
        const int first = in ? 0 : 1;
        for (int i = first; i < n + first; ++i) {
            const std::int64_t frame = in ? i : frames - i;
            std::uint8_t* at = pcm.data() + frame * kFrameBytes + std::int64_t{2} * channel;
            const std::int16_t s = getSample(at);
            setSample(at, linear ? linearFade(s, i, n) : changeLevel(s, logFadeAttenuation(i, n)));
        }
    }
}

// Bytes of the first of `parts` equal parts, whole frames only, as TWave::GetSegment cuts them.
std::size_t partBytes(PcmBytes pcm, int parts) {
    std::size_t bytes = pcm.size() / static_cast<std::size_t>(parts);
    bytes -= bytes % kFrameBytes;
    if (bytes == 0)
        throw Error("GetSegment - SegmentSize 0");
    return bytes;
}

} // namespace

void fadeIn(PcmBytes pcm, int length, int offset, bool linear) {
    fade(pcm, length, offset, linear, true);
}

void fadeOut(PcmBytes pcm, int length, int offset, bool linear) {
    fade(pcm, length, offset, linear, false);
}

void deckstop(PcmBytes pcm, int step) {
    const auto frames = static_cast<int>(framesOf(pcm));
    if (frames == 0 || step == 0)
        return;
    deckstopStretchInPlace(pcm.data(), frames, step);
    fadeOut(pcm, 300, 0, false);
}

void repeats(PcmBytes pcm, int count, int innerFade) {
    if (count <= 1)
        return;
    const std::size_t part = partBytes(pcm, count);
    // Every repeat is a copy of the unfaded first part; the fades come after the copying.
    const auto copies = static_cast<std::size_t>(count);
    for (std::size_t i = 1; i < copies; ++i)
        std::memcpy(pcm.data() + i * part, pcm.data(), part);
    silence(pcm.subspan(copies * part));
    if (innerFade <= 0)
        return;
    for (int i = 0; i < count; ++i) {
        const PcmBytes copy = pcm.subspan(static_cast<std::size_t>(i) * part, part);
        if (i > 0)
            fadeIn(copy, innerFade, 0, false);
        if (i < count - 1)
            fadeOut(copy, innerFade, 0, false);
    }
}

void changeVolume(PcmBytes pcm, int attenuation) {
    if (attenuation == 0)
        return;
    LevelTable& level = LevelTable::forAttenuation(attenuation);
    const std::int64_t samples = framesOf(pcm) * kChannels;
    std::uint8_t* data = pcm.data();
    for (std::int64_t i = 0; i < samples; ++i)
        setSample(data + 2 * i, level(getSample(data + 2 * i)));
}

void staccato(PcmBytes pcm, int divider, int fade) {
    if (divider <= 1)
        return;
    const std::size_t part = partBytes(pcm, divider);
    const PcmBytes played = pcm.first(part);
    fadeOut(played, std::min(fade, static_cast<int>(framesOf(played))), 0, false);
    silence(pcm.subspan(part));
}

void reverse(PcmBytes pcm) {
    // Whole frames swap places, so the channels stay where they are.
    std::uint8_t* data = pcm.data();
    for (std::int64_t i = 0, j = framesOf(pcm) - 1; i < j; ++i, --j) {
        std::uint8_t frame[kFrameBytes];
        std::memcpy(frame, data + i * kFrameBytes, kFrameBytes);
        std::memcpy(data + i * kFrameBytes, data + j * kFrameBytes, kFrameBytes);
        std::memcpy(data + j * kFrameBytes, frame, kFrameBytes);
    }
}

void silence(PcmBytes pcm) {
    if (!pcm.empty())
        std::memset(pcm.data(), 0, pcm.size());
}

void silenceLeft(PcmBytes pcm) {
    for (std::int64_t i = 0; i < framesOf(pcm); ++i)
        setSample(pcm.data() + i * kFrameBytes, 0);
}

void silenceRight(PcmBytes pcm) {
    for (std::int64_t i = 0; i < framesOf(pcm); ++i)
        setSample(pcm.data() + i * kFrameBytes + 2, 0);
}

void swapChannels(PcmBytes pcm) {
    for (std::int64_t i = 0; i < framesOf(pcm); ++i) {
        std::uint8_t* at = pcm.data() + i * kFrameBytes;
        const std::int16_t left = getSample(at);
        setSample(at, getSample(at + 2));
        setSample(at + 2, left);
    }
}

void invertPhase(PcmBytes pcm) {
    for (std::int64_t i = 0; i < framesOf(pcm); ++i) {
        std::uint8_t* at = pcm.data() + i * kFrameBytes;
        const std::int16_t left = getSample(at);
        setSample(at, left == -32768 ? std::int16_t{32767} : static_cast<std::int16_t>(-left));
    }
}

} // namespace brev
