#pragma once

#include "audio/twave.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <utility>
#include <vector>

namespace brev::test {

using Frame = std::pair<int, int>; // left, right

inline BrevWave::TWave makeWave(int frames, const std::function<Frame(int)>& frame) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        auto [left, right] = frame(i);
        samples.push_back(static_cast<std::int16_t>(left));
        samples.push_back(static_cast<std::int16_t>(right));
    }
    return BrevWave::TWave(samples.data(), static_cast<std::int32_t>(samples.size() * 2));
}

// A store's segment or slot, or a wave's bytes.
inline Frame frameAt(std::span<const std::uint8_t> pcm, int index) {
    std::int16_t left;
    std::int16_t right;
    std::memcpy(&left, pcm.data() + 4 * index, 2);
    std::memcpy(&right, pcm.data() + 4 * index + 2, 2);
    return {left, right};
}

inline Frame frameAt(const BrevWave::TWave& wave, int index) {
    return frameAt(wave.bytes(), index);
}

inline std::vector<Frame> frames(std::span<const std::uint8_t> pcm) {
    std::vector<Frame> result;
    for (int i = 0; i < static_cast<int>(pcm.size() / 4); ++i) {
        result.push_back(frameAt(pcm, i));
    }
    return result;
}

inline std::vector<Frame> frames(const BrevWave::TWave& wave) {
    return frames(wave.bytes());
}

// Left and right differ per frame, so swapped, shifted or reordered frames show.
inline BrevWave::TWave rampWave(int frames) {
    return makeWave(frames, [](int i) { return Frame{i % 30000, -(i % 20000) - 1}; });
}

} // namespace brev::test
