// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

#include <bitset>
#include <span>
#include <vector>

namespace brev {

// Every number and flag of patternControls(), in table order: the pattern without the toolbar's
// toggles.
using PatternValues = std::vector<int>;

PatternValues readPatternValues(const PatternAccess& pattern);
// Every control's value by id, toggles included: what valueChanges compares.
std::vector<int> readEveryValue(const PatternAccess& pattern);

// One control whose value differs between two readings.
struct ValueChange {
    int control; // position in patternControls()
    int before;
    int after;
};

// The changes the pattern's history keeps between two readings of every control by id: numbers,
// flags and the toggles that change the sound. The loop toggle only steers playback.
std::vector<ValueChange> valueChanges(std::span<const int> before, std::span<const int> after);

// The slots that sound different after the changes: those whose own sounding controls changed,
// and all of them when a number or toggle that every slot's render reads changed. The lock and
// pool-exclude flags, the gang numbers, the swing (its document cuts the loop again and renders
// it all) and the smart-fades toggle (whose flags change on their own) sound nothing here.
std::bitset<kSlotCount> slotsSoundingDifferently(std::span<const ValueChange> changes);

} // namespace brev
