// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wave_header.h"

#include "audio/twave.h"
#include "base/little_endian.h"

#include <algorithm>

namespace brev {

std::array<std::uint8_t, kWaveHeaderBytes> waveHeader(std::uint32_t dataBytes) {
    std::array<std::uint8_t, kWaveHeaderBytes> header{};
    std::uint8_t* h = header.data();
    std::copy_n("RIFF", 4, h);
    writeLe32(h + 4, static_cast<std::uint32_t>(kWaveHeaderBytes - 8) + dataBytes);
    std::copy_n("WAVEfmt ", 8, h + 8);
    // The record without the extra-size field, which plain PCM does without.
    constexpr std::uint32_t kRecordBytes = 16;
    writeLe32(h + 16, kRecordBytes);
    const auto record = BrevWave::pcmWaveFormat().encode();
    std::copy_n(record.begin(), kRecordBytes, h + 20);
    std::copy_n("data", 4, h + 36);
    writeLe32(h + 40, dataBytes);
    return header;
}

} // namespace brev
