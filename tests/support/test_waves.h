// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/twave.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace brev::test {

class TempFolder;

using Bytes = std::vector<std::uint8_t>;
using Frame = std::pair<int, int>; // left, right

BrevWave::TWave makeWave(int frames, const std::function<Frame(int)>& frame);
BrevWave::TWave waveOf(const std::vector<Frame>& frames);
// Interleaved samples (left, right, left, ...) as a wave.
BrevWave::TWave waveOfSamples(const std::vector<std::int16_t>& samples);

// frames frames, every sample value.
BrevWave::TWave flatWave(int frames, int value);
// Frame k holds k on the left and -k on the right, counting from 0 again every 30000 frames:
// swapped, shifted or reordered frames show.
BrevWave::TWave rampWave(int frames);
// frames frames whose left channel counts up from 1 and whose right channel is tag.
BrevWave::TWave countingWave(std::int32_t frames, std::int16_t tag = 0);

// Of a wave, or of a store's segment or slot.
Frame frameAt(std::span<const std::uint8_t> pcm, int index);
Frame frameAt(const BrevWave::TWave& wave, int index);
std::vector<Frame> framesOf(std::span<const std::uint8_t> pcm);
std::vector<Frame> framesOf(const BrevWave::TWave& wave);
std::vector<int> leftOf(const BrevWave::TWave& wave);
std::vector<int> rightOf(const BrevWave::TWave& wave);
std::vector<std::int16_t> samplesOf(const BrevWave::TWave& wave);
Bytes bytesOf(const BrevWave::TWave& wave);

// Writes wave as a WAV file in folder and returns its path.
std::string writeWav(const TempFolder& folder, const std::string& name,
                     const BrevWave::TWave& wave);

} // namespace brev::test
