// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "editor/core/pattern_model.h"
#include "editor/core/pattern_tools.h"

#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace brev {
namespace {

// A new window's pattern (smart fades down) with its change handlers attached.
struct Window {
    PatternModel model;
    Subscription handlers = attachChangeHandlers(model);
};

std::set<int> slotsWith(const PatternAccess& pattern, SlotRow row) {
    std::set<int> slots;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (pattern.slotCheck(row, slot)) {
            slots.insert(slot);
        }
    }
    return slots;
}

void setNumber(PatternAccess& p, SlotRow row, int slot, int value) {
    p.setSlotNumber(row, slot, value);
}

void setFlag(PatternAccess& p, SlotRow row, int slot, bool value = true) {
    p.setSlotCheck(row, slot, value);
}

TEST(SmartFades, DefaultPatternHasNoFadeFlags) {
    Window w;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        setFlag(w.model, kFadeInCheckText, slot);
        setFlag(w.model, kFadeOutCheckText, slot);
    }
    UpdateSmartFades(w.model);
    EXPECT_TRUE(slotsWith(w.model, kFadeInCheckText).empty());
    EXPECT_TRUE(slotsWith(w.model, kFadeOutCheckText).empty());
}

TEST(SmartFades, EachRuleMarksTheSlotsItShould) {
    struct Case {
        const char* what;
        std::function<void(PatternAccess&)> edit;
        std::set<int> fadeIn;
        std::set<int> fadeOut;
    };
    const Case cases[] = {
        {"volume of slot 5",
         [](PatternAccess& p) { setNumber(p, kVolumeNumber, 5, 1); },
         {5, 6},
         {4, 5}},
        {"segments of 3 and 7 exchanged",
         [](PatternAccess& p) {
             setNumber(p, kSegmentNumber, 3, 7);
             setNumber(p, kSegmentNumber, 7, 3);
         },
         {3, 4, 7, 8},
         {2, 3, 6, 7}},
        {"repeats of slot 4",
         [](PatternAccess& p) { setNumber(p, kRepeatsNumber, 4, 2); },
         {5},
         {4}},
        // The staccato of slot i and of slot n play no part.
        {"staccato of slot 4",
         [](PatternAccess& p) { setFlag(p, kStaccatoCheckText, 4); },
         {5},
         {}},
        {"reverse of slot 4",
         [](PatternAccess& p) { setFlag(p, kReverseCheckText, 4); },
         {4, 5},
         {3, 4}},
        {"mute of slot 4", [](PatternAccess& p) { setFlag(p, kMuteCheckText, 4); }, {5}, {3}},
        {"flip of slot 4", [](PatternAccess& p) { setFlag(p, kFlipCheckText, 4); }, {4, 5}, {3, 4}},
        {"phase of slot 4",
         [](PatternAccess& p) { setFlag(p, kPhaseCheckText, 4); },
         {4, 5},
         {3, 4}},
        {"deckstop, divider and one side muted count for nothing",
         [](PatternAccess& p) {
             setFlag(p, kDeckstopCheckText, 4);
             setNumber(p, kDividerNumber, 4, 7);
             setFlag(p, kMuteLeftCheckText, 6);
             setFlag(p, kMuteRightCheckText, 9);
         },
         {},
         {}},
        {"both sides muted clear the slot's own fades",
         [](PatternAccess& p) {
             setFlag(p, kReverseCheckText, 4);
             setFlag(p, kMuteLeftCheckText, 4);
             setFlag(p, kMuteRightCheckText, 4);
         },
         {5},
         {3}},
        {"volume of slot 0",
         [](PatternAccess& p) { setNumber(p, kVolumeNumber, 0, -3); },
         {0, 1},
         {0}},
        {"volume of slot 15",
         [](PatternAccess& p) { setNumber(p, kVolumeNumber, 15, 2); },
         {15},
         {14, 15}},
        {"slot 0 muted playing segment 3",
         [](PatternAccess& p) {
             setFlag(p, kMuteCheckText, 0);
             setNumber(p, kSegmentNumber, 0, 3);
         },
         {0, 1},
         {}},
        {"slot 15 muted playing segment 14",
         [](PatternAccess& p) {
             setNumber(p, kSegmentNumber, 15, 14);
             setFlag(p, kMuteCheckText, 15);
         },
         {},
         {14, 15}},
    };
    for (const auto& c : cases) {
        Window w;
        c.edit(w.model);
        EXPECT_EQ(slotsWith(w.model, kFadeInCheckText), c.fadeIn) << c.what;
        EXPECT_EQ(slotsWith(w.model, kFadeOutCheckText), c.fadeOut) << c.what;
    }
}

TEST(SmartFades, ToggleUpLeavesFlagsAndGoingDownRecomputes) {
    Window w;
    w.model.setToggleDown(kSmartFadesButton, false);
    setNumber(w.model, kVolumeNumber, 5, 1);
    setFlag(w.model, kFadeInCheckText, 12);
    smartFadesButtonClick(w.model);
    EXPECT_EQ(slotsWith(w.model, kFadeInCheckText), std::set<int>{12});
    w.model.setToggleDown(kSmartFadesButton, true);
    smartFadesButtonClick(w.model);
    EXPECT_EQ(slotsWith(w.model, kFadeInCheckText), (std::set<int>{5, 6}));
    EXPECT_EQ(slotsWith(w.model, kFadeOutCheckText), (std::set<int>{4, 5}));
}

TEST(Randomisers, PoolEmptyChangesNothing) {
    Window w;
    TRandomGenerator generator(-5), untouched(-5);
    for (int c = 0; c < kSlotCount; ++c) {
        setFlag(w.model, kExcludeCheckText, c);
    }
    setNumber(w.model, kSegmentNumber, 2, 9);
    EXPECT_EQ(randomSegments(w.model, generator), std::optional<std::string>("Pool empty"));
    EXPECT_EQ(w.model.NumberValue("Segment2Number"), 9);
    EXPECT_EQ(w.model.NumberValue("Segment3Number"), 3);
    EXPECT_EQ(generator.Random(1000), untouched.Random(1000));
}

TEST(Randomisers, SegmentsComeFromThePoolAndLockedSlotsDrawNothing) {
    Window w;
    TRandomGenerator generator(-31), reference(-31);
    for (int c = 0; c < kSlotCount; ++c) {
        setFlag(w.model, kExcludeCheckText, c, c % 4 != 1); // pool: 1, 5, 9, 13
    }
    setFlag(w.model, kLockCheckText, 6);
    EXPECT_EQ(randomSegments(w.model, generator), std::nullopt);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const int expected = slot == 6 ? 6 : 1 + 4 * reference.Random(4);
        EXPECT_EQ(w.model.NumberValue(slotControlName(kSegmentNumber, slot)), expected) << slot;
    }
    EXPECT_EQ(generator.Random(1000), reference.Random(1000));

    // One segment left: every unlocked slot gets it, each still drawing Random(1).
    setFlag(w.model, kExcludeCheckText, 1);
    setFlag(w.model, kExcludeCheckText, 5);
    setFlag(w.model, kExcludeCheckText, 9);
    randomSegments(w.model, generator);
    for (int i = 0; i < 15; ++i) {
        reference.Random(1);
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(w.model.NumberValue(slotControlName(kSegmentNumber, slot)), slot == 6 ? 6 : 13);
    }
    EXPECT_EQ(generator.Random(1000), reference.Random(1000));
}

TEST(Randomisers, RandomAddOfOneGivesDividersTwoOrThree) {
    Window w;
    TRandomGenerator generator(-8);
    setFlag(w.model, kLockCheckText, 0);
    randomDividers(w.model, generator);
    std::set<int> seen;
    for (int slot = 1; slot < kSlotCount; ++slot) {
        seen.insert(w.model.NumberValue(slotControlName(kDividerNumber, slot)));
    }
    EXPECT_EQ(w.model.NumberValue("Divider0Number"), 2);
    EXPECT_TRUE(seen == (std::set<int>{2, 3}) || seen == std::set<int>{2} ||
                seen == std::set<int>{3});
}

TEST(Randomisers, PingPongAndCenterAllLeaveLockedSlots) {
    Window w;
    TRandomGenerator generator(-77), reference(-77);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        setFlag(w.model, kMuteCheckText, slot);
    }
    setFlag(w.model, kLockCheckText, 2);
    setFlag(w.model, kMuteLeftCheckText, 2);
    randomPingPong(w.model, generator);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slot == 2) {
            EXPECT_TRUE(w.model.CheckValue("Mute2CheckText"));
            EXPECT_TRUE(w.model.CheckValue("MuteLeft2CheckText"));
            continue;
        }
        const int r = reference.Random(3);
        EXPECT_FALSE(w.model.slotCheck(kMuteCheckText, slot));
        EXPECT_EQ(w.model.slotCheck(kMuteLeftCheckText, slot), r == 0) << slot;
        EXPECT_EQ(w.model.slotCheck(kMuteRightCheckText, slot), r == 1) << slot;
    }
    EXPECT_EQ(generator.Random(1000), reference.Random(1000));

    centerAll(w.model);
    EXPECT_EQ(slotsWith(w.model, kMuteCheckText), std::set<int>{2});
    EXPECT_EQ(slotsWith(w.model, kMuteLeftCheckText), std::set<int>{2});
    EXPECT_TRUE(slotsWith(w.model, kMuteRightCheckText).empty());
    // Smart fades ran at the end: only the locked, muted slot's neighbours fade.
    EXPECT_EQ(slotsWith(w.model, kFadeInCheckText), std::set<int>{3});
    EXPECT_EQ(slotsWith(w.model, kFadeOutCheckText), std::set<int>{1});
}

TEST(Clone, CopiesTheNeighbourIntoTheSlotWrappingAroundButKeepsDeckstop) {
    Window w;
    w.model.setToggleDown(kSmartFadesButton, false); // keep the copied fade flags visible
    PatternModel& m = w.model;
    setNumber(m, kSegmentNumber, 0, 9);
    setNumber(m, kRepeatsNumber, 0, 3);
    setNumber(m, kVolumeNumber, 0, -7);
    setNumber(m, kDividerNumber, 0, 12);
    for (auto row : {kStaccatoCheckText, kReverseCheckText, kMuteCheckText, kMuteLeftCheckText,
                     kMuteRightCheckText, kFlipCheckText, kPhaseCheckText, kFadeInCheckText,
                     kFadeOutCheckText, kDeckstopCheckText, kExcludeCheckText}) {
        setFlag(m, row, 0);
    }
    setFlag(m, kLockCheckText, 15);
    cloneNext(m, 15); // a locked destination is overwritten all the same
    EXPECT_EQ(m.NumberValue("Segment15Number"), 9);
    EXPECT_EQ(m.NumberValue("Repeats15Number"), 3);
    EXPECT_EQ(m.NumberValue("Volume15Number"), -7);
    EXPECT_EQ(m.NumberValue("Divider15Number"), 12);
    for (auto row : {kStaccatoCheckText, kReverseCheckText, kMuteCheckText, kMuteLeftCheckText,
                     kMuteRightCheckText, kFlipCheckText, kPhaseCheckText, kFadeInCheckText,
                     kFadeOutCheckText}) {
        EXPECT_TRUE(m.slotCheck(row, 15)) << row.pattern;
    }
    EXPECT_FALSE(m.CheckValue("Deckstop15CheckText"));
    EXPECT_FALSE(m.CheckValue("Exclude15CheckText"));
    EXPECT_TRUE(m.CheckValue("Lock15CheckText"));

    setFlag(m, kDeckstopCheckText, 15);
    setNumber(m, kSegmentNumber, 15, 4);
    clonePrevious(m, 0);
    EXPECT_EQ(m.NumberValue("Segment0Number"), 4);
    EXPECT_TRUE(m.CheckValue("Deckstop0CheckText"));
    clonePrevious(m, 1);
    EXPECT_EQ(m.NumberValue("Segment1Number"), 4);
    EXPECT_FALSE(m.CheckValue("Deckstop1CheckText"));
}

TEST(Arrows, StepWithinTheRangeAndRefuseUnknownTags) {
    Window w;
    upArrow(w.model, 15); // Segment15Number at its maximum
    EXPECT_EQ(w.model.NumberValue("Segment15Number"), 15);
    downArrow(w.model, 0);
    EXPECT_EQ(w.model.NumberValue("Segment0Number"), 0);
    upArrow(w.model, 72);
    EXPECT_EQ(w.model.NumberValue(kDeckstopRampNumber), 51);
    downArrow(w.model, 71);
    EXPECT_EQ(w.model.NumberValue(kCuttingAngleNumber), -1);
    downArrow(w.model, 34);
    EXPECT_EQ(w.model.NumberValue("Volume0Number"), -1);
    EXPECT_TRUE(w.model.CheckValue("FadeIn0CheckText")); // through ValueChanged

    try {
        upArrow(w.model, 73);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "TInterfaceForm::UpArrowClick - index out of bounds");
    }
    try {
        downArrow(w.model, -1);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "TInterfaceForm::DownArrowClick - index out of bounds");
    }
}

} // namespace
} // namespace brev
