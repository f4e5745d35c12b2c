#include "audio/wave_header.h"

#include "audio/little_endian.h"
#include "audio/twave.h"

#include <cstring>

namespace brev {

std::array<std::uint8_t, kWaveHeaderBytes> waveHeader(std::uint32_t dataBytes) {
    std::array<std::uint8_t, kWaveHeaderBytes> header{};
    std::uint8_t* h = header.data();
    std::memcpy(h, "RIFF", 4);
    writeLe32(h + 4, static_cast<std::uint32_t>(kWaveHeaderBytes - 8) + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    // The record without the extra-size field, which plain PCM does without.
    constexpr std::uint32_t kRecordBytes = 16;
    writeLe32(h + 16, kRecordBytes);
    std::memcpy(h + 20, BrevWave::pcmWaveFormat().encode().data(), kRecordBytes);
    std::memcpy(h + 36, "data", 4);
    writeLe32(h + 40, dataBytes);
    return header;
}

} // namespace brev
