// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes into the WAV reader: it must refuse or load, never crash or over-read.
#include "audio/twave.h"
#include "base/byte_stream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BrevWave::TWave wave;
    brev::MemoryReader reader({data, size});
    try {
        wave.MMIOLoad(&reader);
    } catch (const brev::Error&) {
        return 0;
    }
    // What loaded must write back and load again to the same bytes.
    brev::MemoryWriter writer;
    wave.MMIOSave(&writer);
    BrevWave::TWave again;
    brev::MemoryReader back(writer.bytes());
    again.MMIOLoad(&back);
    if (again.byteLength() != wave.byteLength())
        __builtin_trap();
    for (std::int32_t i = 0; i < wave.byteLength(); ++i)
        if (again.GetData()[i] != wave.GetData()[i])
            __builtin_trap();
    return 0;
}
