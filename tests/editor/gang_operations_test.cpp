// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/gang_operations.h"
#include "editor/core/pattern_model.h"
#include "editor/core/pattern_tools.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brev {
namespace {

// The model with the window's change handlers, counting how often they run.
struct CountingPattern {
    PatternModel model;
    int smartRuns = 0;
    Subscription handlers = attachChangeHandlers(model);
    Subscription valueRuns = model.addHandler(ChangeHandler::ValueChanged, counted());
    Subscription checkRuns = model.addHandler(ChangeHandler::CheckChanged, counted());

    PatternModel::OnChange counted() {
        return [this](const ControlInfo&, int) { ++smartRuns; };
    }
};

std::vector<int> snapshot(const PatternAccess& pattern) {
    std::vector<int> values;
    for (const auto& control : patternControls()) {
        if (control.kind == ControlKind::Number) {
            values.push_back(pattern.NumberValue(control.name));
        } else if (control.kind == ControlKind::Check) {
            values.push_back(pattern.CheckValue(control.name) ? 1 : 0);
        }
    }
    return values;
}

bool flag(const PatternAccess& pattern, SlotRow row, int slot) {
    return pattern.slotCheck(row, slot);
}

TEST(GangOperations, ButtonTableCoversTheColumn) {
    auto names = gangButtonNames();
    ASSERT_EQ(names.size(), 44u + 5u);
    EXPECT_EQ(names[0], "GangRandomSegmentButton");
    int random = 0;
    for (auto name : names) {
        random += name.ends_with("RandomButton") ? 1 : 0;
    }
    EXPECT_EQ(random, 8);
    PatternModel model;
    TRandomGenerator generator(-1);
    gangButtonPulsed(model, generator, "gangfliPALLbutton");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_TRUE(flag(model, kFlipCheckText, slot));
    }
}

TEST(GangOperations, EveryLockedSlotIsLeftAloneAndDrawsNothing) {
    PatternModel model;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        model.SetCheckValue(slotControlName(kLockCheckText, slot), true);
        model.SetCheckValue(slotControlName(kMuteCheckText, slot), slot % 2 == 0);
    }
    model.SetCheckValue("Exclude4CheckText", true);
    const std::vector<int> before = snapshot(model);
    TRandomGenerator generator(-99), untouched(-99);
    for (auto name : gangButtonNames()) {
        if (name.starts_with("GangLock") || name.starts_with("GangExclude")) {
            continue;
        }
        EXPECT_EQ(gangButtonPulsed(model, generator, name), std::nullopt) << name;
        ASSERT_EQ(snapshot(model), before) << name;
    }
    for (auto name : {"GangSegmentNumber", "GangRepeatsNumber", "GangVolumeNumber",
                      "GangStaccatoDividerNumber"}) {
        gangNumberChanged(model, name, 7);
    }
    EXPECT_EQ(snapshot(model), before);
    EXPECT_EQ(generator.Random(1 << 20), untouched.Random(1 << 20));

    // The lock and pool-exclude rows ignore locks.
    gangButtonPulsed(model, generator, "GangExcludeInverseButton");
    gangButtonPulsed(model, generator, "GangLockNoneButton");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(flag(model, kExcludeCheckText, slot), slot != 4) << slot;
        EXPECT_FALSE(model.IsSlotLocked(slot));
    }
}

TEST(GangOperations, LockedSlotDrawsNothingAndTheNextSlotGetsItsDraw) {
    PatternModel model;
    model.SetCheckValue("Lock3CheckText", true);
    model.SetCheckValue("Reverse3CheckText", true);
    TRandomGenerator generator(-4711), reference(-4711);
    gangFlag(model, generator, kReverseCheckText, GangAction::Random);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const bool expected = slot == 3 ? true : reference.Random(2) == 1;
        EXPECT_EQ(flag(model, kReverseCheckText, slot), expected) << slot;
    }
    // Exactly 15 draws were taken.
    EXPECT_EQ(generator.Random(1 << 20), reference.Random(1 << 20));
}

TEST(GangOperations, InverseTogglesEachUnlockedSlotOnItsOwn) {
    PatternModel model;
    for (int slot : {1, 2, 9})
        model.SetCheckValue(slotControlName(kStaccatoCheckText, slot), true);
    model.SetCheckValue("Lock9CheckText", true);
    model.SetCheckValue("Lock10CheckText", true);
    TRandomGenerator generator(-1);
    gangButtonPulsed(model, generator, "GangStaccatoInverseButton");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const bool wasOn = slot == 1 || slot == 2 || slot == 9;
        const bool locked = slot == 9 || slot == 10;
        EXPECT_EQ(flag(model, kStaccatoCheckText, slot), locked ? wasOn : !wasOn) << slot;
    }
}

TEST(GangOperations, NumbersAndResetsWriteUnlockedSlotsOnlyWhenTheGangValueChanges) {
    CountingPattern p;
    PatternModel& model = p.model;
    model.SetCheckValue("Lock5CheckText", true);
    model.SetNumberValue("Segment2Number", 11);
    p.smartRuns = 0;

    model.SetNumberValue(kGangSegmentNumber, 11);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(model.slotNumber(kSegmentNumber, slot), slot == 5 ? 5 : 11) << slot;
    }
    EXPECT_EQ(p.smartRuns, 13); // slots 2 and 5 did not change

    // The same gang value again does nothing, even though a slot was edited since.
    model.SetNumberValue("Segment0Number", 3);
    p.smartRuns = 0;
    model.SetNumberValue(kGangSegmentNumber, 11);
    EXPECT_EQ(model.NumberValue("Segment0Number"), 3);
    EXPECT_EQ(p.smartRuns, 0);

    // An arrow on the gang number acts through the same handler.
    model.SetNumberValue(kGangSegmentNumber, 7);
    upArrow(model, 16);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(model.slotNumber(kSegmentNumber, slot), slot == 5 ? 5 : 8) << slot;
    }

    TRandomGenerator generator(-1);
    model.SetNumberValue(kGangRepeatsNumber, 4);
    model.SetNumberValue(kGangVolumeNumber, -6);
    model.SetNumberValue(kGangStaccatoDividerNumber, 9);
    model.SetNumberValue("Segment5Number", 0);
    gangButtonPulsed(model, generator, "GangDefaultSegmentButton");
    EXPECT_EQ(model.NumberValue("Repeats4Number"), 4);
    EXPECT_EQ(model.NumberValue("Volume4Number"), -6);
    EXPECT_EQ(model.NumberValue("Divider4Number"), 9);
    EXPECT_EQ(model.NumberValue("Divider5Number"), 2);
    gangButtonPulsed(model, generator, "GangRepeatsNoneButton");
    gangButtonPulsed(model, generator, "GangVolumeNoneButton");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(model.slotNumber(kSegmentNumber, slot), slot == 5 ? 0 : slot) << slot;
        EXPECT_EQ(model.slotNumber(kRepeatsNumber, slot), 1) << slot;
        EXPECT_EQ(model.slotNumber(kVolumeNumber, slot), 0) << slot;
    }
    // The reset buttons leave the gang numbers beside them alone.
    EXPECT_EQ(model.NumberValue(kGangRepeatsNumber), 4);
    EXPECT_EQ(model.NumberValue(kGangVolumeNumber), -6);
}

TEST(GangOperations, HandlersRunOncePerChangedSlotAndNeverForNoChange) {
    CountingPattern p;
    PatternModel& model = p.model;
    TRandomGenerator generator(-1);
    model.SetCheckValue("Reverse2CheckText", true);
    model.SetCheckValue("Lock5CheckText", true);
    p.smartRuns = 0;

    gangButtonPulsed(model, generator, "GangReverseAllButton");
    EXPECT_EQ(p.smartRuns, 14);
    p.smartRuns = 0;
    gangButtonPulsed(model, generator, "GangReverseAllButton");
    gangButtonPulsed(model, generator, "GangMuteNoneButton");
    gangButtonPulsed(model, generator, "GangRepeatsNoneButton");
    gangButtonPulsed(model, generator, "GangDefaultSegmentButton");
    EXPECT_EQ(p.smartRuns, 0);

    // Fade, lock and pool-exclude rows and dividers fire nothing.
    for (auto name : {"GangFadeInAllButton", "GangFadeOutInverseButton", "GangLockAllButton",
                      "GangExcludeAllButton", "GangStaccatoRandomDividerButton"}) {
        gangButtonPulsed(model, generator, name);
    }
    model.SetNumberValue(kGangStaccatoDividerNumber, 40);
    EXPECT_EQ(p.smartRuns, 0);
}

TEST(GangOperations, FadeGangHoldsOnlyUntilSmartFadesNextRuns) {
    CountingPattern p;
    PatternModel& model = p.model;
    TRandomGenerator generator(-1);
    gangButtonPulsed(model, generator, "GangFadeInAllButton");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_TRUE(flag(model, kFadeInCheckText, slot));
    }
    model.SetCheckValue("Lock0CheckText", true);
    model.SetCheckValue("Deckstop7CheckText", true); // recomputes all 16, locked ones too
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_FALSE(flag(model, kFadeInCheckText, slot)) << slot;
    }
}

} // namespace
} // namespace brev
