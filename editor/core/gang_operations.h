// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"
#include "editor/core/random_generator.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brev {

enum class GangAction { All, None, Inverse, Random };

// Sets, clears, inverts or randomises one flag row on every slot in order 0 … 15. Locked slots
// are skipped and draw nothing, except on the lock and pool-exclude rows, which visit all 16.
// The lock, pool-exclude and fade rows have no Random action; asking for it does nothing.
void gangFlag(PatternAccess& pattern, TRandomGenerator& random, SlotRow flag, GangAction action);

// Writes value into a number row, in every unlocked slot.
void gangNumber(PatternAccess& pattern, SlotRow slotRow, int value);

// The reset buttons: slot i to segment i, repeats to 1, volume to 0 dB (unlocked slots).
void defaultSegments(PatternAccess& pattern);
void repeatsNone(PatternAccess& pattern);
void volumeNone(PatternAccess& pattern);

// The change handler of a gang number: GangSegmentNumber, GangRepeatsNumber, GangVolumeNumber
// or GangStaccatoDividerNumber writes its new value into the matching row. Other names do
// nothing.
void gangNumberChanged(PatternAccess& pattern, std::string_view gangNumberName, int value);

// Every pulse button of the gang column ("GangStaccatoAllButton" … "GangFadeOutInverseButton",
// "GangDefaultSegmentButton", "GangRepeatsNoneButton", "GangVolumeNoneButton",
// "GangRandomSegmentButton", "GangStaccatoRandomDividerButton"), in layout order.
std::span<const std::string_view> gangButtonNames();

// Runs what the named gang button does when pulsed (name compared ignoring case). Returns a
// notice for a message box ("Pool empty"), or nothing. Unknown names do nothing.
std::optional<std::string> gangButtonPulsed(PatternAccess& pattern, TRandomGenerator& random,
                                            std::string_view buttonName);

} // namespace brev
