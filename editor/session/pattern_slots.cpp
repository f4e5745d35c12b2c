// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/session/pattern_slots.h"

#include "editor/core/pattern_values.h"
#include "editor/core/render.h"

namespace brev {

PatternSlots::Taken::Taken(const PatternAccess& pattern) : values_(readEveryValue(pattern)) {}

PatternSlots::PatternSlots(const PatternAccess& pattern) : live_(pattern), taken_(pattern) {}

void PatternSlots::renderAll(SegmentStore& store) const {
    brev::renderAll(taken_, store);
}

std::bitset<kSlotCount> PatternSlots::changedSince() const {
    return slotsSoundingDifferently(valueChanges(taken_.values(), readEveryValue(live_)));
}

} // namespace brev
