// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

#include <bitset>
#include <span>
#include <vector>

namespace brev {

// Every number and flag of patternControls(), in table order: what the pattern's history
// keeps. The toolbar toggles are the window's switches, not the pattern's values.
using PatternValues = std::vector<int>;

PatternValues readPatternValues(const PatternAccess& pattern);

// One control whose value differs between two readings.
struct ValueChange {
    int control; // position in patternControls()
    int before;
    int after;
};

std::vector<ValueChange> valueChanges(const PatternValues& before, const PatternValues& after);

// The slots that sound different after the changes: those whose own sounding controls changed,
// and all of them when a number that every slot's render reads changed. The lock and
// pool-exclude flags, the gang numbers and the swing (applied at the next load) sound nothing.
std::bitset<kSlotCount> slotsSoundingDifferently(std::span<const ValueChange> changes);

} // namespace brev
