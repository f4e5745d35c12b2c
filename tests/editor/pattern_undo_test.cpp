// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_model.h"
#include "editor/core/pattern_undo.h"

#include <gtest/gtest.h>

using namespace brev;

// Only the outermost step records, with the toggle switched before it opened; undo and redo
// write both sides back and name the slots that sound different.
TEST(PatternUndo, NestedStepsRestoreBothSidesAndTheToggle) {
    PatternModel model;
    PatternUndo undo(model);
    model.setToggleDown(kSmartFadesButton, false); // its click comes before its handler's step
    undo.openStep();
    undo.toggledBeforeStep(kSmartFadesButton);
    undo.openStep();
    model.setSlotNumber(kVolumeNumber, 3, -6);
    EXPECT_FALSE(undo.closeStep());
    model.setSlotCheck(kLockCheckText, 9, true);
    const UndoStep step = undo.closeStep().value();
    EXPECT_EQ(undo.undo(step), std::bitset<kSlotCount>(1u << 3)); // a lock sounds nothing
    EXPECT_EQ(model.values(), PatternModel().values());
    undo.redo(step);
    EXPECT_TRUE(model.slotCheck(kLockCheckText, 9) && model.slotNumber(kVolumeNumber, 3) == -6);
}
