// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loop_layout.h"

#include <array>
#include <cstdint>

namespace brev {

// The header of a WAV file of dataBytes of 16-bit stereo 44100 Hz PCM: the RIFF, "fmt " and
// "data" chunk headers, with the format record the wave writer writes. A writer that learns the
// size only at the end writes the header again then.
inline constexpr std::size_t kWaveHeaderBytes = 44;
std::array<std::uint8_t, kWaveHeaderBytes> waveHeader(std::uint32_t dataBytes);

// Largest whole-frame data size such a header can describe.
inline constexpr std::uint32_t kMaxWaveDataBytes =
    (0xFFFFFFFFu - (kWaveHeaderBytes - 8)) / kFrameBytes * kFrameBytes;

} // namespace brev
