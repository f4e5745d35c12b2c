// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/test_waves.h"

#include "tests/support/temp_folder.h"

#include <cstring>

namespace brev::test {

BrevWave::TWave makeWave(int frames, const std::function<Frame(int)>& frame) {
    std::vector<std::int16_t> samples;
    samples.reserve(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        auto [left, right] = frame(i);
        samples.push_back(static_cast<std::int16_t>(left));
        samples.push_back(static_cast<std::int16_t>(right));
    }
    return waveOfSamples(samples);
}

BrevWave::TWave waveOf(const std::vector<Frame>& frames) {
    return makeWave(static_cast<int>(frames.size()),
                    [&](int i) { return frames[static_cast<std::size_t>(i)]; });
}

BrevWave::TWave waveOfSamples(const std::vector<std::int16_t>& samples) {
    return BrevWave::TWave(samples.data(), static_cast<std::int32_t>(samples.size() * 2));
}

BrevWave::TWave flatWave(int frames, int value) {
    return makeWave(frames, [=](int) { return Frame{value, value}; });
}

BrevWave::TWave rampWave(int frames) {
    return makeWave(frames, [](int k) { return Frame{k % 30000, -(k % 30000)}; });
}

BrevWave::TWave countingWave(std::int32_t frames, std::int16_t tag) {
    return makeWave(frames, [=](int i) { return Frame{i % 30000 + 1, tag}; });
}

Frame frameAt(std::span<const std::uint8_t> pcm, int index) {
    std::int16_t pair[2];
    std::memcpy(pair, pcm.data() + static_cast<std::size_t>(kFrameBytes) * index, sizeof pair);
    return {pair[0], pair[1]};
}

Frame frameAt(const BrevWave::TWave& wave, int index) {
    return frameAt(wave.bytes(), index);
}

std::vector<Frame> framesOf(std::span<const std::uint8_t> pcm) {
    std::vector<Frame> frames;
    for (int i = 0; i < static_cast<int>(pcm.size() / kFrameBytes); ++i)
        frames.push_back(frameAt(pcm, i));
    return frames;
}

std::vector<Frame> framesOf(const BrevWave::TWave& wave) {
    return framesOf(wave.bytes());
}

std::vector<int> leftOf(const BrevWave::TWave& wave) {
    std::vector<int> out;
    for (auto [left, right] : framesOf(wave))
        out.push_back(left);
    return out;
}

std::vector<int> rightOf(const BrevWave::TWave& wave) {
    std::vector<int> out;
    for (auto [left, right] : framesOf(wave))
        out.push_back(right);
    return out;
}

std::vector<std::int16_t> samplesOf(const BrevWave::TWave& wave) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(wave.byteLength() / 2));
    std::memcpy(samples.data(), wave.GetData(), samples.size() * 2);
    return samples;
}

Bytes bytesOf(const BrevWave::TWave& wave) {
    return Bytes(wave.GetData(), wave.GetData() + wave.byteLength());
}

std::string writeWav(const TempFolder& folder, const std::string& name,
                     const BrevWave::TWave& wave) {
    const std::string path = folder.file(name);
    wave.SaveToFile(path);
    return path;
}

} // namespace brev::test
