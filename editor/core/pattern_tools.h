// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/listeners.h"
#include "editor/core/pattern_access.h"
#include "editor/core/random_generator.h"

#include <optional>
#include <string>
#include <string_view>

namespace brev {

class PatternModel;

inline constexpr std::string_view kPoolEmptyMessage = "Pool empty";

// Every unlocked slot gets a segment drawn from the pool of segments whose pool-exclude flag
// is off. With an empty pool nothing changes and the notice "Pool empty" is returned.
std::optional<std::string> randomSegments(PatternAccess& pattern, TRandomGenerator& random);

// Every unlocked slot's divider becomes 2 + a draw of 0 … GangStaccatoRandomInputNumber.
void randomDividers(PatternAccess& pattern, TRandomGenerator& random);

// Every unlocked slot sounds left only, right only or on both channels, a third each.
void randomPingPong(PatternAccess& pattern, TRandomGenerator& random);

// Clears mute, mute left and mute right of every unlocked slot.
void centerAll(PatternAccess& pattern);

// Copies segment, repeats, volume, staccato, divider, reverse, the three mutes, flip, phase and
// the fade flags from slot source into slot destination, then recomputes smart fades. Deckstop,
// lock and pool exclude stay; the destination's lock is not consulted.
void CopySlot(PatternAccess& pattern, int source, int destination);

// Slot copies its right-hand (next) or left-hand (previous) neighbour, wrapping around.
void cloneNext(PatternAccess& pattern, int slot);
void clonePrevious(PatternAccess& pattern, int slot);

// Steps the number of that arrow tag (0 … 72) by one within its range; other tags raise an
// Error.
void upArrow(PatternAccess& pattern, int tag);
void downArrow(PatternAccess& pattern, int tag);

// Sets the fade flags of all 16 slots from the differences between neighbours, while
// SmartFadesButton is down; does nothing while it is up.
void UpdateSmartFades(PatternAccess& pattern);

// After a click on SmartFadesButton: recompute when it has just gone down.
void smartFadesButtonClick(PatternAccess& pattern);

// What a control's change handler does in the pattern: ValueChanged and CheckChanged
// recompute smart fades, a gang number writes its row.
// SwingNumberChanged and CuttingAngleNumberChanged change nothing in the pattern (the window
// refreshes its status bar for the latter itself).
void runChangeHandler(PatternAccess& pattern, const ControlInfo& control, int value);

// Attaches runChangeHandler to every control of the model that has a handler.
[[nodiscard]] Subscription attachChangeHandlers(PatternModel& model);

} // namespace brev
