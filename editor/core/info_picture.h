// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

namespace brev {

// The rows of the picture, top to bottom as the window shows them.
inline constexpr SlotRow kInfoPictureRows[] = {
    kReverseCheckText,   kMuteCheckText, kMuteLeftCheckText,
    kMuteRightCheckText, kFlipCheckText, kPhaseCheckText,
};

// Whether the picture has a stroke at that row (index into kInfoPictureRows) and slot.
bool infoPictureCell(int row, int slot);

// Info with Shift: releases smart fades, then writes the word "BREV" into the six rows above,
// one letter per group of four slots, and clears the staccato, lock, pool-exclude and fade flags.
// Deckstops and numbers stay as they are.
void drawInfoPicture(PatternAccess& pattern);

} // namespace brev
