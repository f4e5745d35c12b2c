// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/byte_stream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brev {

// Reads another reader in large blocks, so that many small reads close together (a walk over
// thousands of tiny chunk headers) cost one system call per block rather than one each. Reads
// of a block or more go straight through. The source must not be read or moved meanwhile.
class BufferedReader final : public ByteReader {
public:
    static constexpr std::size_t kBlockBytes = 64 * 1024;

    explicit BufferedReader(ByteReader& source);

    std::size_t read(void* destination, std::size_t count) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return source_.size(); }

private:
    // Makes the block hold the bytes from position_ on; false at the end or on an error.
    bool fill();

    ByteReader& source_;
    std::vector<std::uint8_t> block_;
    std::uint64_t blockStart_ = 0;
    std::size_t blockBytes_ = 0;
    std::uint64_t position_;
};

} // namespace brev
