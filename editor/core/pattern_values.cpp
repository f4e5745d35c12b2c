// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_values.h"

#include <array>

namespace brev {

namespace {

bool recorded(const ControlInfo& control) {
    return control.kind != ControlKind::Toggle;
}

bool isOneOf(const ControlInfo& control, std::span<const std::string_view> patterns) {
    for (std::string_view pattern : patterns) {
        if (control.slot >= 0 && control.name == slotControlName(pattern, control.slot))
            return true;
        if (control.slot < 0 && control.name == pattern)
            return true;
    }
    return false;
}

constexpr std::array<std::string_view, 2> kSilentSlotControls = {kLockCheckText, kExcludeCheckText};
constexpr std::array<std::string_view, 3> kEverySlotNumbers = {
    kFadeSamplesNumber, kCuttingAngleNumber, kDeckstopRampNumber};

} // namespace

PatternValues readPatternValues(const PatternAccess& pattern) {
    PatternValues values;
    const std::span<const ControlInfo> controls = patternControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (recorded(controls[i]))
            values.push_back(pattern.value(static_cast<int>(i)));
    }
    return values;
}

std::vector<ValueChange> valueChanges(const PatternValues& before, const PatternValues& after) {
    std::vector<ValueChange> changes;
    const std::span<const ControlInfo> controls = patternControls();
    std::size_t value = 0;
    for (std::size_t i = 0; i < controls.size() && value < before.size() && value < after.size();
         ++i) {
        if (!recorded(controls[i]))
            continue;
        if (before[value] != after[value])
            changes.push_back({static_cast<int>(i), before[value], after[value]});
        ++value;
    }
    return changes;
}

std::bitset<kSlotCount> slotsSoundingDifferently(std::span<const ValueChange> changes) {
    std::bitset<kSlotCount> slots;
    const std::span<const ControlInfo> controls = patternControls();
    for (const ValueChange& change : changes) {
        const ControlInfo& control = controls[static_cast<std::size_t>(change.control)];
        if (isOneOf(control, kEverySlotNumbers))
            slots.set();
        else if (control.slot >= 0 && !isOneOf(control, kSilentSlotControls))
            slots.set(static_cast<std::size_t>(control.slot));
    }
    return slots;
}

} // namespace brev
