// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_controls.h"
#include "editor/core/pattern_model.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brev {
namespace {

TEST(PatternControls, ArrowTagsFollowTheWindowsNumberOrder) {
    auto numbers = numberControlsByArrowTag();
    ASSERT_EQ(numbers.size(), 73u);
    EXPECT_EQ(numbers[0].name, "Segment0Number");
    EXPECT_EQ(numbers[15].name, "Segment15Number");
    EXPECT_EQ(numbers[16].name, "GangSegmentNumber");
    EXPECT_EQ(numbers[17].name, "Repeats0Number");
    EXPECT_EQ(numbers[33].name, "GangRepeatsNumber");
    EXPECT_EQ(numbers[34].name, "Volume0Number");
    EXPECT_EQ(numbers[50].name, "GangVolumeNumber");
    EXPECT_EQ(numbers[51].name, "Divider0Number");
    EXPECT_EQ(numbers[66].name, "Divider15Number");
    EXPECT_EQ(numbers[67].name, "GangStaccatoDividerNumber");
    EXPECT_EQ(numbers[68].name, "GangStaccatoRandomInputNumber");
    EXPECT_EQ(numbers[69].name, "FadeSamplesNumber");
    EXPECT_EQ(numbers[70].name, "SwingNumber");
    EXPECT_EQ(numbers[71].name, "CuttingAngleNumber");
    EXPECT_EQ(numbers[72].name, "DeckstopRampNumber");
    for (int tag = 0; tag < 73; ++tag) {
        EXPECT_EQ(numbers[static_cast<size_t>(tag)].arrowTag, tag);
        EXPECT_EQ(numbers[static_cast<size_t>(tag)].kind, ControlKind::Number);
    }
    // 73 numbers, 12 flag rows of 16, 4 toggles; every name unique ignoring case.
    auto all = patternControls();
    EXPECT_EQ(all.size(), 73u + 12u * 16u + 4u);
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(controlIndex(all[i].name), static_cast<int>(i)) << all[i].name;
    }
}

TEST(PatternControls, RangesDefaultsAndHandlers) {
    struct Expected {
        const char* name;
        int minimum, maximum, defaultValue;
        ChangeHandler handler;
    };
    const Expected expected[] = {
        {"Segment7Number", 0, 15, 7, ChangeHandler::ValueChanged},
        {"Repeats3Number", 1, 99, 1, ChangeHandler::ValueChanged},
        {"Volume15Number", -99, 99, 0, ChangeHandler::ValueChanged},
        {"Divider0Number", 2, 99, 2, ChangeHandler::None},
        {"GangSegmentNumber", 0, 15, 0, ChangeHandler::GangSegmentNumberChanged},
        {"GangRepeatsNumber", 1, 99, 1, ChangeHandler::GangRepeatsNumberChanged},
        {"GangVolumeNumber", -99, 99, 0, ChangeHandler::GangVolumeNumberChanged},
        {"GangStaccatoDividerNumber", 2, 99, 2, ChangeHandler::GangStaccatoDividerNumberChanged},
        {"GangStaccatoRandomInputNumber", 1, 99, 1, ChangeHandler::None},
        {"FadeSamplesNumber", 0, 999, 100, ChangeHandler::None},
        {"SwingNumber", 0, 100, 0, ChangeHandler::SwingNumberChanged},
        {"CuttingAngleNumber", -89, 89, 0, ChangeHandler::CuttingAngleNumberChanged},
        {"DeckstopRampNumber", 1, 100, 50, ChangeHandler::CuttingAngleNumberChanged},
        {"Phase9CheckText", 0, 1, 0, ChangeHandler::CheckChanged},
        {"MuteLeft2CheckText", 0, 1, 0, ChangeHandler::CheckChanged},
        {"Lock4CheckText", 0, 1, 0, ChangeHandler::None},
        {"Exclude4CheckText", 0, 1, 0, ChangeHandler::None},
        {"FadeOut11CheckText", 0, 1, 0, ChangeHandler::None},
        {"LogFadesButton", 0, 1, 1, ChangeHandler::None},
    };
    for (const auto& e : expected) {
        const ControlInfo* control = findControl(e.name);
        ASSERT_NE(control, nullptr) << e.name;
        EXPECT_EQ(control->minimum, e.minimum) << e.name;
        EXPECT_EQ(control->maximum, e.maximum) << e.name;
        EXPECT_EQ(control->defaultValue, e.defaultValue) << e.name;
        EXPECT_EQ(control->handler, e.handler) << e.name;
    }
    EXPECT_EQ(findControl("Segment16Number"), nullptr);
    EXPECT_EQ(findControl("Phase9CheckTex"), nullptr);
    EXPECT_EQ(findControl("SEGMENT7number"), findControl("Segment7Number"));
}

// Every row's control found by its id and the slot is the one its name finds.
TEST(PatternControls, SlotControlsFoundWithoutTheirNames) {
    int perSlot = 0;
    for (SlotRow row : {kSegmentNumber, kRepeatsNumber, kVolumeNumber, kDividerNumber,
                        kStaccatoCheckText, kDeckstopCheckText, kReverseCheckText, kMuteCheckText,
                        kMuteLeftCheckText, kMuteRightCheckText, kFlipCheckText, kPhaseCheckText,
                        kLockCheckText, kExcludeCheckText, kFadeInCheckText, kFadeOutCheckText}) {
        for (int slot = 0; slot < kSlotCount; ++slot, ++perSlot) {
            const std::string name = slotControlName(row, slot);
            EXPECT_EQ(slotControlIndex(row, slot), controlIndex(name)) << name;
        }
    }
    EXPECT_EQ(perSlot, std::ranges::count_if(patternControls(),
                                             [](const ControlInfo& c) { return c.slot >= 0; }));
    EXPECT_EQ(slotControlIndex(kVolumeNumber, 16), -1);
    EXPECT_EQ(slotControlIndex(kVolumeNumber, -1), -1);
}

TEST(PatternModel, StartsAsANewWindowAndReadsMissingOrWrongKindAsZero) {
    PatternModel model;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(model.slotNumber(kSegmentNumber, slot), slot);
        EXPECT_EQ(model.slotNumber(kRepeatsNumber, slot), 1);
        EXPECT_EQ(model.slotNumber(kDividerNumber, slot), 2);
        EXPECT_FALSE(model.IsSlotLocked(slot));
    }
    EXPECT_EQ(model.NumberValue("deckstoprampnumber"), 50);
    EXPECT_TRUE(model.toggleDown("InnerFadesButton"));
    EXPECT_TRUE(model.toggleDown("logfadesbutton"));

    EXPECT_EQ(model.NumberValue("NoSuchNumber"), 0);
    EXPECT_EQ(model.NumberValue("Lock0CheckText"), 0);
    model.SetCheckValue("Lock0CheckText", true);
    EXPECT_TRUE(model.IsSlotLocked(0));
    EXPECT_EQ(model.NumberValue("Lock0CheckText"), 0);
    EXPECT_FALSE(model.CheckValue("Segment3Number"));
    model.SetCheckValue("Segment3Number", true);
    model.SetNumberValue("Lock1CheckText", 1);
    model.SetCheckValue("LoopButton", false);
    EXPECT_EQ(model.NumberValue("Segment3Number"), 3);
    EXPECT_FALSE(model.CheckValue("Lock1CheckText"));
    EXPECT_TRUE(model.toggleDown("LoopButton"));
    EXPECT_FALSE(model.toggleDown("Segment3Number"));
}

TEST(PatternModel, WritesClampAndRunHandlersOnlyOnChangeBeforeTheNextWrite) {
    PatternModel model;
    std::vector<std::string> log;
    const Subscription values =
        model.addHandler(ChangeHandler::ValueChanged, [&](const ControlInfo& control, int value) {
            log.push_back(control.name + "=" + std::to_string(value));
            // A handler that writes: its own change runs before the outer write returns.
            if (control.name == "Volume3Number") {
                model.SetCheckValue("FadeIn3CheckText", true);
            }
        });
    const Subscription fade =
        model.addControlHandler("fadein3checktext", [&](const ControlInfo& control, int value) {
            log.push_back(control.name + "=" + std::to_string(value));
        });

    model.SetNumberValue("Volume3Number", 150);
    model.SetNumberValue("volume3number", 120); // clamps to the same 99: no handler
    model.SetNumberValue("Repeats3Number", 0);  // clamps to 1, unchanged
    model.SetNumberValue("Segment0Number", -5); // already 0
    model.SetNumberValue("Segment0Number", 4);
    model.SetNumberValue("Divider0Number", 1); // no handler attached to dividers
    EXPECT_EQ(model.NumberValue("Divider0Number"), 2);
    model.SetNumberValue("Divider0Number", 500);
    EXPECT_EQ(model.NumberValue("Divider0Number"), 99);

    std::vector<std::string> expected = {"Volume3Number=99", "FadeIn3CheckText=1",
                                         "Segment0Number=4"};
    EXPECT_EQ(log, expected);

    // Toggles are written without handlers; resetting restores defaults silently.
    model.setToggleDown("SmartFadesButton", false);
    EXPECT_FALSE(model.toggleDown("SmartFadesButton"));
    model.resetToDefaults();
    EXPECT_EQ(model.NumberValue("Volume3Number"), 0);
    EXPECT_TRUE(model.toggleDown("SmartFadesButton"));
    EXPECT_EQ(log.size(), 3u);
}

TEST(PatternModel, ListenersFollowInTurnUntilTheyUnsubscribe) {
    std::vector<std::string> log;
    auto view = [&log](std::string name) {
        return [&log, name](int, int value) { log.push_back(name + std::to_string(value)); };
    };
    Subscription first; // outlives its model
    PatternModel model;
    first = model.addView(view("a"));
    const Subscription second = model.addView(view("b"));
    Subscription handler;
    handler = model.addHandlers([&](const ControlInfo&, int) {
        handler.reset();
        log.push_back("h");
    });
    model.SetNumberValue("Volume3Number", 5);
    first.reset();
    model.SetNumberValue("Volume3Number", 6);
    EXPECT_EQ(log, (std::vector<std::string>{"a5", "b5", "h", "b6"}));
    first = model.addView(view("c"));
}

} // namespace
} // namespace brev
