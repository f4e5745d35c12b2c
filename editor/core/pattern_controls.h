// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loop_layout.h"

#include <span>
#include <string>
#include <string_view>

namespace brev {

enum class ControlKind {
    Number, // TBrevNumber: an integer clamped to its range
    Check,  // TBrevCheckText: an on/off flag
    Toggle, // a toolbar toggle button: down or up
};

// The change handler a control fires, by the name of the window's method that handles it.
// Dispatched with exhaustive switches, so a new one cannot be left unhandled.
enum class ChangeHandler {
    None,
    ValueChanged,
    CheckChanged,
    GangSegmentNumberChanged,
    GangRepeatsNumberChanged,
    GangVolumeNumberChanged,
    GangStaccatoDividerNumberChanged,
    SwingNumberChanged,
    CuttingAngleNumberChanged,
};

// One control that a pattern holds, as the window lays it out.
struct ControlInfo {
    std::string name; // exact control name
    ControlKind kind;
    int minimum;
    int maximum;
    int defaultValue; // flags and toggles: 0 off/up, 1 on/down
    ChangeHandler handler;
    int slot;     // slot index (the control's Tag) for per-slot controls, else -1
    int arrowTag; // tag of the arrow buttons that step this number, else -1
};

inline constexpr int kNumberControlCount = 73;

// The per-slot rows of the pattern, each of which holds one control per slot.
enum class SlotRowId {
    Segment,
    Repeats,
    Volume,
    Divider,
    Staccato,
    Deckstop,
    Reverse,
    Mute,
    MuteLeft,
    MuteRight,
    Flip,
    Phase,
    Lock,
    Exclude,
    FadeIn,
    FadeOut,
};
inline constexpr int kSlotRowCount = 16;

// A per-slot row: its id, which finds its controls, and its control name with "%d" standing for
// the slot index, which settings and pattern files use. It reads as that name where a name is
// built.
struct SlotRow {
    SlotRowId id;
    std::string_view pattern;
    constexpr operator std::string_view() const { return pattern; }
};

inline constexpr SlotRow kSegmentNumber{SlotRowId::Segment, "Segment%dNumber"};
inline constexpr SlotRow kRepeatsNumber{SlotRowId::Repeats, "Repeats%dNumber"};
inline constexpr SlotRow kVolumeNumber{SlotRowId::Volume, "Volume%dNumber"};
inline constexpr SlotRow kDividerNumber{SlotRowId::Divider, "Divider%dNumber"};
inline constexpr SlotRow kStaccatoCheckText{SlotRowId::Staccato, "Staccato%dCheckText"};
inline constexpr SlotRow kDeckstopCheckText{SlotRowId::Deckstop, "Deckstop%dCheckText"};
inline constexpr SlotRow kReverseCheckText{SlotRowId::Reverse, "Reverse%dCheckText"};
inline constexpr SlotRow kMuteCheckText{SlotRowId::Mute, "Mute%dCheckText"};
inline constexpr SlotRow kMuteLeftCheckText{SlotRowId::MuteLeft, "MuteLeft%dCheckText"};
inline constexpr SlotRow kMuteRightCheckText{SlotRowId::MuteRight, "MuteRight%dCheckText"};
inline constexpr SlotRow kFlipCheckText{SlotRowId::Flip, "Flip%dCheckText"};
inline constexpr SlotRow kPhaseCheckText{SlotRowId::Phase, "Phase%dCheckText"};
inline constexpr SlotRow kLockCheckText{SlotRowId::Lock, "Lock%dCheckText"};
inline constexpr SlotRow kExcludeCheckText{SlotRowId::Exclude, "Exclude%dCheckText"};
inline constexpr SlotRow kFadeInCheckText{SlotRowId::FadeIn, "FadeIn%dCheckText"};
inline constexpr SlotRow kFadeOutCheckText{SlotRowId::FadeOut, "FadeOut%dCheckText"};

// Global numbers and toggles.
inline constexpr std::string_view kGangSegmentNumber = "GangSegmentNumber";
inline constexpr std::string_view kGangRepeatsNumber = "GangRepeatsNumber";
inline constexpr std::string_view kGangVolumeNumber = "GangVolumeNumber";
inline constexpr std::string_view kGangStaccatoDividerNumber = "GangStaccatoDividerNumber";
inline constexpr std::string_view kGangStaccatoRandomInputNumber = "GangStaccatoRandomInputNumber";
inline constexpr std::string_view kFadeSamplesNumber = "FadeSamplesNumber";
inline constexpr std::string_view kSwingNumber = "SwingNumber";
inline constexpr std::string_view kCuttingAngleNumber = "CuttingAngleNumber";
inline constexpr std::string_view kDeckstopRampNumber = "DeckstopRampNumber";
inline constexpr std::string_view kInnerFadesButton = "InnerFadesButton";
inline constexpr std::string_view kLogFadesButton = "LogFadesButton";
inline constexpr std::string_view kSmartFadesButton = "SmartFadesButton";
inline constexpr std::string_view kLoopButton = "LoopButton";

// The per-slot name: the pattern with "%d" replaced by the slot index in decimal.
std::string slotControlName(std::string_view pattern, int slot);

// Every control a pattern holds: first the 73 numbers in arrow-tag order (tag = position),
// then the slot flags row by row (slots 0 … 15 each), then the four toggles.
std::span<const ControlInfo> patternControls();

// The 73 number controls; element k is the control that arrow buttons of tag k step.
std::span<const ControlInfo> numberControlsByArrowTag();

// Position in patternControls() of the control of that name, ignoring case; -1 when there is none.
int controlIndex(std::string_view name);

// The control of that name, ignoring case; null when there is none.
const ControlInfo* findControl(std::string_view name);

// Position in patternControls() of a row's control for a slot, without building its name; -1 for
// a slot outside 0 … 15.
int slotControlIndex(SlotRow row, int slot);

} // namespace brev
