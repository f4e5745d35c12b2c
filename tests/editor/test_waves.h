#pragma once

#include "audio/twave.h"

#include <cstdint>
#include <functional>
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

inline Frame frameAt(const BrevWave::TWave& wave, int index) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(wave.GetData());
    return {samples[2 * index], samples[2 * index + 1]};
}

inline std::vector<Frame> frames(const BrevWave::TWave& wave) {
    std::vector<Frame> result;
    for (int i = 0; i < wave.GetSamples(); ++i) {
        result.push_back(frameAt(wave, i));
    }
    return result;
}

// Left and right differ per frame, so swapped, shifted or reordered frames show.
inline BrevWave::TWave rampWave(int frames) {
    return makeWave(frames, [](int i) { return Frame{i % 30000, -(i % 20000) - 1}; });
}

} // namespace brev::test
