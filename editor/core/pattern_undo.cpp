// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_undo.h"

#include "editor/core/pattern_model.h"

namespace brev {

void PatternUndo::openStep() {
    if (openSteps_++ == 0)
        opened_ = pattern_.values();
}

void PatternUndo::toggledBeforeStep(std::string_view toggle) {
    const int id = controlIndex(toggle);
    if (stepOpen() && id >= 0)
        opened_[static_cast<std::size_t>(id)] = int(pattern_.value(id) == 0);
}

std::optional<UndoStep> PatternUndo::closeStep() {
    if (openSteps_ == 0 || --openSteps_ > 0)
        return std::nullopt;
    UndoStep step{valueChanges(opened_, pattern_.values())};
    if (step.changes.empty())
        return std::nullopt;
    return step;
}

std::bitset<kSlotCount> PatternUndo::restore(const UndoStep& step, bool after) {
    for (const ValueChange& change : step.changes)
        pattern_.restoreValue(change.control, after ? change.after : change.before);
    return slotsSoundingDifferently(step.changes);
}

} // namespace brev
