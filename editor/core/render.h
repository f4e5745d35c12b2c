// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/segment_store.h"
#include "editor/core/pattern_access.h"

namespace brev {

// Signed frames by which a fade of one channel outlasts the other's, from CuttingAngleNumber.
int AngleOffset(const PatternAccess& pattern);

// Input frames per deckstop slow-down stage, from DeckstopRampNumber (ramp 100 is steepest).
int deckstopStep(const PatternAccess& pattern);

// Renders slot (0 … 15) from the pattern's current values into the store's slot. Afterwards the
// slot holds exactly the natural length of its position.
void RenderSegment(const PatternAccess& pattern, SegmentStore& store, int slot);

// Slots 0 to 15 in order, as the play, copy and save commands do.
void renderAll(const PatternAccess& pattern, SegmentStore& store);

} // namespace brev
