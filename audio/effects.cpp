// The per-slot effects. All keep the length and work on whole frames; trailing odd bytes of a
// loaded buffer are left alone.
#include "audio/sample_math.h"
#include "audio/twave.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

namespace BrevWave {

using brev::Error;

namespace {

std::int16_t getSample(const std::uint8_t* at) {
    std::int16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void setSample(std::uint8_t* at, std::int16_t value) {
    std::memcpy(at, &value, sizeof value);
}

static_assert(std::endian::native == std::endian::little, "samples are stored little-endian");

} // namespace

void TWave::applyFade(int length, int offset, bool linear, bool fadeIn) {
    std::int64_t left = length;
    std::int64_t right = length;
    // A positive offset lengthens the left fade-in and the right fade-out.
    std::int64_t& longer = (offset > 0) == fadeIn ? left : right;
    longer = std::int64_t{length} + (offset > 0 ? offset : -std::int64_t{offset});
    const std::int64_t frames = GetSamples();
    std::uint8_t* data = FPcmData.get();
    for (int channel = 0; channel < kChannels; ++channel) {
        const int n =
            static_cast<int>(std::clamp<std::int64_t>(channel == 0 ? left : right, 0, frames));
        const int first = fadeIn ? 0 : 1;
        for (int i = first; i < n + first; ++i) {
            const std::int64_t frame = fadeIn ? i : frames - i;
            std::uint8_t* at = data + frame * kFrameBytes + channel * 2;
            const std::int16_t s = getSample(at);
            setSample(at, linear ? brev::linearFade(s, i, n)
                                 : brev::changeLevel(s, brev::logFadeAttenuation(i, n)));
        }
    }
}

void TWave::ApplyFadeIn(int length, int offset, bool linear) {
    applyFade(length, offset, linear, true);
}

void TWave::ApplyFadeOut(int length, int offset, bool linear) {
    applyFade(length, offset, linear, false);
}

void TWave::Deckstop(int step) {
    const int frames = GetSamples();
    if (frames == 0 || step == 0)
        return;
    std::vector<std::int16_t> input;
    std::vector<std::int16_t> output;
    try {
        input.resize(static_cast<std::size_t>(frames) * kChannels);
        output.resize(input.size());
    } catch (const std::bad_alloc&) {
        throw Error("Deckstop - Error allocating memory");
    }
    const std::size_t bytes = static_cast<std::size_t>(frames) * kFrameBytes;
    std::memcpy(input.data(), FPcmData.get(), bytes);
    brev::deckstopStretch(input.data(), output.data(), frames, step);
    std::memcpy(FPcmData.get(), output.data(), bytes);
    ApplyFadeOut(300, 0, false);
}

void TWave::ApplyRepeats(int count, int innerFade) {
    if (count <= 1)
        return;
    TWave part;
    GetSegment(part, 0, 1, count);
    // Every copy is the same part, so there are at most three different faded copies.
    TWave first = part;
    TWave middle = part;
    TWave last = part;
    if (innerFade > 0) {
        first.ApplyFadeOut(innerFade, 0, false);
        middle.ApplyFadeIn(innerFade, 0, false);
        middle.ApplyFadeOut(innerFade, 0, false);
        last.ApplyFadeIn(innerFade, 0, false);
    }
    Silence();
    const std::size_t partBytes = static_cast<std::size_t>(part.FLength);
    for (int i = 0; i < count; ++i) {
        const TWave& copy = i == 0 ? first : i == count - 1 ? last : middle;
        std::memcpy(FPcmData.get() + i * partBytes, copy.FPcmData.get(), partBytes);
    }
}

void TWave::ApplyVolume(int attenuation) {
    if (attenuation == 0)
        return;
    brev::LevelTable level(attenuation);
    std::uint8_t* data = FPcmData.get();
    const std::int64_t samples = std::int64_t{GetSamples()} * kChannels;
    for (std::int64_t i = 0; i < samples; ++i)
        setSample(data + 2 * i, level(getSample(data + 2 * i)));
}

void TWave::ApplyStaccato(int divider, int fade) {
    if (divider <= 1)
        return;
    TWave part;
    GetSegment(part, 0, 1, divider);
    part.ApplyFadeOut(std::min(fade, part.GetSamples()), 0, false);
    Silence();
    std::memcpy(FPcmData.get(), part.FPcmData.get(), static_cast<std::size_t>(part.FLength));
}

void TWave::Reverse() {
    // Whole frames swap places, so the channels stay where they are.
    std::uint8_t* data = FPcmData.get();
    for (std::int64_t i = 0, j = std::int64_t{GetSamples()} - 1; i < j; ++i, --j) {
        std::uint8_t frame[kFrameBytes];
        std::memcpy(frame, data + i * kFrameBytes, kFrameBytes);
        std::memcpy(data + i * kFrameBytes, data + j * kFrameBytes, kFrameBytes);
        std::memcpy(data + j * kFrameBytes, frame, kFrameBytes);
    }
}

void TWave::Silence() {
    if (FLength > 0)
        std::memset(FPcmData.get(), 0, static_cast<std::size_t>(FLength));
}

void TWave::SilenceLeft() {
    for (std::int64_t i = 0; i < GetSamples(); ++i)
        setSample(FPcmData.get() + i * kFrameBytes, 0);
}

void TWave::SilenceRight() {
    for (std::int64_t i = 0; i < GetSamples(); ++i)
        setSample(FPcmData.get() + i * kFrameBytes + 2, 0);
}

void TWave::SwapChannels() {
    for (std::int64_t i = 0; i < GetSamples(); ++i) {
        std::uint8_t* at = FPcmData.get() + i * kFrameBytes;
        const std::int16_t left = getSample(at);
        setSample(at, getSample(at + 2));
        setSample(at + 2, left);
    }
}

void TWave::InvertPhase() {
    for (std::int64_t i = 0; i < GetSamples(); ++i) {
        std::uint8_t* at = FPcmData.get() + i * kFrameBytes;
        const std::int16_t left = getSample(at);
        setSample(at, left == -32768 ? std::int16_t{32767} : static_cast<std::int16_t>(-left));
    }
}

} // namespace BrevWave
