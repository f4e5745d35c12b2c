// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/test_waves.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brev::test {

// Building blocks for hand-made RIFF files.
void putLe(Bytes& out, std::uint32_t value, int bytes);
// id, size and payload, with a pad byte after an odd payload when pad.
Bytes chunk(const std::string& id, const Bytes& payload, bool pad = true);
// A format record of size bytes (16 or more) with the given fields; extra bytes are zero.
Bytes fmtPayload(int tag = 1, int channels = 2, std::uint32_t rate = 44100, int bits = 16,
                 std::size_t size = 16);
Bytes riff(const std::vector<Bytes>& chunks, const std::string& form = "WAVE");
// count bytes of a pattern that no field of a header matches by chance.
Bytes pcmBytes(int count);

} // namespace brev::test
