// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_values.h"

#include <algorithm>

namespace brev {

namespace {

bool isPatternValue(const ControlInfo& control) {
    return control.kind != ControlKind::Toggle;
}

bool recorded(const ControlInfo& control) {
    return isPatternValue(control) || control.name != kLoopButton;
}

// The flags that change no sound, and the numbers and toggles whose change every slot sounds.
constexpr SlotRow kSilentRows[] = {kLockCheckText, kExcludeCheckText};
constexpr std::string_view kEverySlotControls[] = {kFadeSamplesNumber, kCuttingAngleNumber,
                                                   kDeckstopRampNumber, kInnerFadesButton,
                                                   kLogFadesButton};

bool soundsInEverySlot(const ControlInfo& control) {
    return std::ranges::find(kEverySlotControls, control.name) != std::end(kEverySlotControls);
}

bool isSilent(int control, int slot) {
    return std::ranges::any_of(kSilentRows,
                               [&](SlotRow row) { return slotControlIndex(row, slot) == control; });
}

} // namespace

PatternValues readPatternValues(const PatternAccess& pattern) {
    PatternValues values;
    const std::span<const ControlInfo> controls = patternControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (isPatternValue(controls[i]))
            values.push_back(pattern.value(static_cast<int>(i)));
    }
    return values;
}

std::vector<int> readEveryValue(const PatternAccess& pattern) {
    std::vector<int> values(patternControls().size());
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = pattern.value(static_cast<int>(i));
    return values;
}

std::vector<ValueChange> valueChanges(std::span<const int> before, std::span<const int> after) {
    std::vector<ValueChange> changes;
    const std::span<const ControlInfo> controls = patternControls();
    const std::size_t count = std::min({controls.size(), before.size(), after.size()});
    for (std::size_t i = 0; i < count; ++i) {
        if (recorded(controls[i]) && before[i] != after[i])
            changes.push_back({static_cast<int>(i), before[i], after[i]});
    }
    return changes;
}

std::bitset<kSlotCount> slotsSoundingDifferently(std::span<const ValueChange> changes) {
    std::bitset<kSlotCount> slots;
    const std::span<const ControlInfo> controls = patternControls();
    for (const ValueChange& change : changes) {
        const ControlInfo& control = controls[static_cast<std::size_t>(change.control)];
        if (soundsInEverySlot(control))
            slots.set();
        else if (control.slot >= 0 && !isSilent(change.control, control.slot))
            slots.set(static_cast<std::size_t>(control.slot));
    }
    return slots;
}

} // namespace brev
