// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/ascii_case.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace brev {

// Positions (below 2^32 - 1) by name, names compared without regard to case: one flat table,
// looked up without allocating. The names are not copied; they must outlive the index.
class NameIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    std::size_t find(std::string_view name) const;
    // The position stored for name: position when name is new, else the one it already had.
    std::size_t insert(std::string_view name, std::size_t position);

private:
    static constexpr std::uint32_t kFree = UINT32_MAX;
    struct Slot {
        std::string_view name;
        std::uint32_t hash = 0; // the low half of the name's hash
        std::uint32_t position = kFree;
    };

    std::size_t probe(std::string_view name, std::uint32_t hash) const;
    void grow();

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

} // namespace brev
