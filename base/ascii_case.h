// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace brev {

// Control and button names are ASCII and compared without regard to case, as the window's
// lookups are; no locale is consulted.
constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    // Names are mostly looked up as they are spelt; this compare takes them all at once.
    if (a == b)
        return true;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// A hash equal for names equal but for case: it sets bit 5 of every byte, which tells a letter's
// cases apart, and takes eight bytes a step.
struct NoCaseHash {
    std::size_t operator()(std::string_view text) const {
        constexpr std::uint64_t kCaseBits = 0x2020202020202020ull;
        constexpr std::uint64_t kMix = 0x9e3779b97f4a7c15ull;
        std::uint64_t hash = text.size() * kMix;
        const char* at = text.data();
        std::size_t left = text.size();
        for (; left >= 8; at += 8, left -= 8) {
            std::uint64_t word;
            std::memcpy(&word, at, 8);
            hash = (hash ^ (word | kCaseBits)) * kMix;
            hash ^= hash >> 29;
        }
        std::uint64_t tail = 0;
        std::memcpy(&tail, at, left);
        hash = (hash ^ (tail | kCaseBits)) * kMix;
        // Every bit of the words into the low bits, which pick a table slot.
        hash = (hash ^ (hash >> 33)) * 0xff51afd7ed558ccdull;
        return static_cast<std::size_t>(hash ^ (hash >> 33));
    }
};

} // namespace brev
