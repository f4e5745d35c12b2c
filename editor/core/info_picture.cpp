// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/info_picture.h"

namespace brev {

namespace {

// One letter per group of four slots, three columns of strokes and a gap between letters.
constexpr const char* kPicture[6] = {
    "XX. XX. XXX X.X ", "X.X X.X X.. X.X ", "XX. X.X XX. X.X ",
    "X.X XX. X.. X.X ", "X.X X.X X.. X.X ", "XX. X.X XXX .X. ",
};

} // namespace

bool infoPictureCell(int row, int slot) {
    return kPicture[row][slot] == 'X';
}

void drawInfoPicture(PatternAccess& pattern) {
    pattern.setToggleDown(kSmartFadesButton, false);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        pattern.setSlotCheck(kStaccatoCheckText, slot, false);
        for (int row = 0; row < 6; ++row) {
            pattern.setSlotCheck(kInfoPictureRows[row], slot, infoPictureCell(row, slot));
        }
        for (SlotRow flag :
             {kLockCheckText, kExcludeCheckText, kFadeInCheckText, kFadeOutCheckText}) {
            pattern.setSlotCheck(flag, slot, false);
        }
    }
}

} // namespace brev
