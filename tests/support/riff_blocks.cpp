// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/riff_blocks.h"

namespace brev::test {

void putLe(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes chunk(const std::string& id, const Bytes& payload, bool pad) {
    Bytes out(id.begin(), id.end());
    putLe(out, static_cast<std::uint32_t>(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    if (pad && payload.size() % 2 == 1)
        out.push_back(0);
    return out;
}

Bytes fmtPayload(int tag, int channels, std::uint32_t rate, int bits, std::size_t size) {
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

Bytes riff(const std::vector<Bytes>& chunks, const std::string& form) {
    Bytes body(form.begin(), form.end());
    for (const auto& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return chunk("RIFF", body);
}

Bytes pcmBytes(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    return out;
}

} // namespace brev::test
