// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_values.h"

#include <bitset>
#include <optional>
#include <string_view>
#include <vector>

namespace brev {

class PatternModel;

// One step of the pattern's history: every value it changed, with its value before and after.
struct UndoStep {
    std::vector<ValueChange> changes;
};

// The pattern's undo over a PatternModel, with or without a window. A step records every value
// that changed between its opening and its closing, smart fades and the toggles that change the
// sound included; steps nest and only the outermost one records. Whoever keeps the steps undoes
// and redoes them here: the values are written back without running change handlers, and the
// slots that now sound different are returned for rendering.
class PatternUndo {
public:
    explicit PatternUndo(PatternModel& pattern) : pattern_(pattern) {}

    bool stepOpen() const { return openSteps_ > 0; }
    void openStep();
    // A toolbar toggle switches itself before its click is handled, so before the handler's step
    // opens: the open step records the switch as well.
    void toggledBeforeStep(std::string_view toggle);
    // Closing the outermost step gives what it changed; nothing when nothing did.
    std::optional<UndoStep> closeStep();

    std::bitset<kSlotCount> undo(const UndoStep& step) { return restore(step, false); }
    std::bitset<kSlotCount> redo(const UndoStep& step) { return restore(step, true); }

private:
    std::bitset<kSlotCount> restore(const UndoStep& step, bool after);

    PatternModel& pattern_;
    int openSteps_ = 0;
    std::vector<int> opened_; // every control's value when the outermost step opened
};

} // namespace brev
