// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace brev {

// The player's controls and state keys, as the plugin and its window both name them.
enum PlayerControl : std::uint32_t { kPatternControl, kKeepPitchControl, kControlCount };

// "pattern1" … "pattern8", the key of pattern 0 … 7's file.
inline std::string patternKey(int pattern) {
    return "pattern" + std::to_string(pattern + 1);
}

} // namespace brev
