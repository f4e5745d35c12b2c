// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/buffered_reader.h"

#include <algorithm>
#include <cstring>

namespace brev {

BufferedReader::BufferedReader(ByteReader& source)
    : source_(source), block_(kBlockBytes), position_(source.position()) {}

bool BufferedReader::fill() {
    if (!source_.seek(position_))
        return false;
    blockStart_ = position_;
    blockBytes_ = source_.read(block_.data(), block_.size());
    return blockBytes_ > 0;
}

std::size_t BufferedReader::read(void* destination, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(destination);
    if (count >= block_.size()) {
        if (!source_.seek(position_))
            return 0;
        const std::size_t done = source_.read(out, count);
        position_ += done;
        return done;
    }
    std::size_t done = 0;
    while (done < count) {
        const bool inBlock = position_ >= blockStart_ && position_ < blockStart_ + blockBytes_;
        if (!inBlock && !fill())
            break;
        const auto offset = static_cast<std::size_t>(position_ - blockStart_);
        const std::size_t n = std::min(count - done, blockBytes_ - offset);
        std::memcpy(out + done, block_.data() + offset, n);
        done += n;
        position_ += n;
    }
    return done;
}

bool BufferedReader::seek(std::uint64_t position) {
    if (position > source_.size())
        return false;
    position_ = position;
    return true;
}

} // namespace brev
