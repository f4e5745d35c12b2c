// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/info_picture.h"
#include "editor/core/pattern_model.h"

#include <gtest/gtest.h>

namespace {

using namespace brev;

// The six picture rows as the window shows them: slots left to right, '#' where a flag is on.
std::string pictureRows(const PatternAccess& pattern) {
    std::string text;
    for (SlotRow row : kInfoPictureRows) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            text += pattern.slotCheck(row, slot) ? '#' : '.';
        }
        text += '\n';
    }
    return text;
}

TEST(InfoPicture, SpellsBrevAndClearsTheOtherFlags) {
    PatternModel pattern;
    pattern.setToggleDown(kSmartFadesButton, true);
    pattern.SetCheckValue("Staccato2CheckText", true);
    pattern.SetCheckValue("Lock5CheckText", true);
    pattern.SetCheckValue("Exclude9CheckText", true);
    pattern.SetCheckValue("FadeIn7CheckText", true);
    pattern.SetCheckValue("FadeOut15CheckText", true);
    pattern.SetCheckValue("Mute3CheckText", true);
    pattern.SetCheckValue("Deckstop3CheckText", true);
    pattern.SetNumberValue("Segment4Number", 11);
    pattern.SetNumberValue("Volume8Number", -6);
    pattern.SetNumberValue("Divider1Number", 7);

    drawInfoPicture(pattern);

    EXPECT_EQ(pictureRows(pattern), "##..##..###.#.#.\n"
                                    "#.#.#.#.#...#.#.\n"
                                    "##..#.#.##..#.#.\n"
                                    "#.#.##..#...#.#.\n"
                                    "#.#.#.#.#...#.#.\n"
                                    "##..#.#.###..#..\n");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        for (SlotRow flag : {kStaccatoCheckText, kLockCheckText, kExcludeCheckText,
                             kFadeInCheckText, kFadeOutCheckText}) {
            EXPECT_FALSE(pattern.slotCheck(flag, slot)) << slotControlName(flag, slot);
        }
    }
    EXPECT_FALSE(pattern.toggleDown(kSmartFadesButton));
    EXPECT_TRUE(pattern.CheckValue("Deckstop3CheckText"));
    EXPECT_EQ(pattern.NumberValue("Segment4Number"), 11);
    EXPECT_EQ(pattern.NumberValue("Volume8Number"), -6);
    EXPECT_EQ(pattern.NumberValue("Divider1Number"), 7);
}

TEST(InfoPicture, ChangedFlagsFireTheirHandlersAndASecondPressChangesNothing) {
    PatternModel pattern;
    pattern.SetCheckValue("Reverse0CheckText", true); // already part of the B
    pattern.SetCheckValue("Phase15CheckText", true);  // not part of the picture
    int checkChanged = 0;
    int fadeChanges = 0;
    const Subscription checks = pattern.addHandler(
        ChangeHandler::CheckChanged, [&](const ControlInfo&, int) { ++checkChanged; });
    const Subscription fades = pattern.addControlHandler(
        "FadeIn0CheckText", [&](const ControlInfo&, int) { ++fadeChanges; });

    drawInfoPicture(pattern);
    int strokes = 0;
    for (int row = 0; row < 6; ++row) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            strokes += infoPictureCell(row, slot) ? 1 : 0;
        }
    }
    // Every stroke but the one already on, plus the phase flag switched off.
    EXPECT_EQ(checkChanged, strokes - 1 + 1);

    pattern.SetCheckValue("FadeIn0CheckText", true);
    fadeChanges = 0;
    checkChanged = 0;
    const std::string first = pictureRows(pattern);
    drawInfoPicture(pattern);
    EXPECT_EQ(checkChanged, 0);
    EXPECT_EQ(fadeChanges, 1); // only the fade flag set in between is cleared again
    EXPECT_EQ(pictureRows(pattern), first);
}

} // namespace
