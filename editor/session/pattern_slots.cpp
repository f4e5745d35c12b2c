// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/session/pattern_slots.h"

#include "editor/core/pattern_values.h"
#include "editor/core/render.h"

namespace brev {

PatternSlots::Taken::Taken(const PatternAccess& pattern) {
    for (std::size_t id = 0; id < patternControls().size(); ++id)
        values_.push_back(pattern.value(static_cast<int>(id)));
}

PatternSlots::PatternSlots(const PatternAccess& pattern) : live_(pattern), taken_(pattern) {}

void PatternSlots::renderAll(SegmentStore& store) const {
    brev::renderAll(taken_, store);
}

std::bitset<kSlotCount> PatternSlots::changedSince() const {
    std::bitset<kSlotCount> slots =
        slotsSoundingDifferently(valueChanges(readPatternValues(taken_), readPatternValues(live_)));
    // The toolbar's toggles, which the values leave out, may change the fades of every slot.
    const std::span<const ControlInfo> controls = patternControls();
    for (std::size_t id = 0; id < controls.size(); ++id) {
        const int control = static_cast<int>(id);
        if (controls[id].kind == ControlKind::Toggle &&
            taken_.value(control) != live_.value(control))
            slots.set();
    }
    return slots;
}

} // namespace brev
