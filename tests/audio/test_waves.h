#pragma once

#include "audio/twave.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace brev::test {

using Bytes = std::vector<std::uint8_t>;
using Frame = std::pair<int, int>;

inline BrevWave::TWave waveOf(const std::vector<Frame>& frames) {
    std::vector<std::int16_t> samples;
    for (auto [left, right] : frames) {
        samples.push_back(static_cast<std::int16_t>(left));
        samples.push_back(static_cast<std::int16_t>(right));
    }
    return BrevWave::TWave(samples.data(), static_cast<std::int32_t>(samples.size() * 2));
}

// n frames, every sample `value`.
inline BrevWave::TWave flatWave(int frames, int value) {
    return waveOf(std::vector<Frame>(static_cast<std::size_t>(frames), Frame{value, value}));
}

// Frame k holds k on the left and -k on the right (fits 16 bits for k < 32768).
inline BrevWave::TWave rampWave(int frames) {
    std::vector<Frame> all;
    for (int k = 0; k < frames; ++k)
        all.emplace_back(k, -k);
    return waveOf(all);
}

inline std::vector<Frame> framesOf(const BrevWave::TWave& wave) {
    std::vector<Frame> frames;
    for (int i = 0; i < wave.GetSamples(); ++i) {
        std::int16_t pair[2];
        std::memcpy(pair, wave.GetData() + 4 * i, 4);
        frames.emplace_back(pair[0], pair[1]);
    }
    return frames;
}

inline std::vector<int> leftOf(const BrevWave::TWave& wave) {
    std::vector<int> out;
    for (auto [left, right] : framesOf(wave))
        out.push_back(left);
    return out;
}

inline std::vector<int> rightOf(const BrevWave::TWave& wave) {
    std::vector<int> out;
    for (auto [left, right] : framesOf(wave))
        out.push_back(right);
    return out;
}

inline Bytes bytesOf(const BrevWave::TWave& wave) {
    return Bytes(wave.GetData(), wave.GetData() + wave.byteLength());
}

// RIFF building blocks for hand-made files.
inline void putLe(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline Bytes chunk(const std::string& id, const Bytes& payload, bool pad = true) {
    Bytes out(id.begin(), id.end());
    putLe(out, static_cast<std::uint32_t>(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    if (pad && payload.size() % 2 == 1)
        out.push_back(0);
    return out;
}

// A format record of `size` bytes (16 or more) with the given fields; extra bytes are zero.
inline Bytes fmtPayload(int tag = 1, int channels = 2, std::uint32_t rate = 44100, int bits = 16,
                        std::size_t size = 16) {
    Bytes out;
    putLe(out, static_cast<std::uint32_t>(tag), 2);
    putLe(out, static_cast<std::uint32_t>(channels), 2);
    putLe(out, rate, 4);
    putLe(out, rate * static_cast<std::uint32_t>(channels * bits / 8), 4);
    putLe(out, static_cast<std::uint32_t>(channels * bits / 8), 2);
    putLe(out, static_cast<std::uint32_t>(bits), 2);
    out.resize(size, 0);
    return out;
}

inline Bytes riff(const std::vector<Bytes>& chunks, const std::string& form = "WAVE") {
    Bytes body(form.begin(), form.end());
    for (const auto& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return chunk("RIFF", body);
}

inline Bytes pcmBytes(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    return out;
}

} // namespace brev::test
