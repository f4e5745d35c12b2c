// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/gang_operations.h"

#include "base/ascii_case.h"
#include "editor/core/pattern_tools.h"

#include <array>
#include <vector>

namespace brev {

namespace {

struct FlagRow {
    SlotRow slotRow;
    std::string_view prefix; // as in the button names
    bool honoursLocks;
    bool hasRandom;
};

constexpr FlagRow kFlagRows[] = {
    {kStaccatoCheckText, "Staccato", true, true}, {kDeckstopCheckText, "Deckstop", true, true},
    {kReverseCheckText, "Reverse", true, true},   {kMuteCheckText, "Mute", true, true},
    {kMuteLeftCheckText, "MuteLeft", true, true}, {kMuteRightCheckText, "MuteRight", true, true},
    {kFlipCheckText, "Flip", true, true},         {kPhaseCheckText, "Invert", true, true},
    {kLockCheckText, "Lock", false, false},       {kExcludeCheckText, "Exclude", false, false},
    {kFadeInCheckText, "FadeIn", true, false},    {kFadeOutCheckText, "FadeOut", true, false},
};

constexpr std::string_view kActionNames[] = {"All", "None", "Inverse", "Random"};

const FlagRow& rowOf(SlotRow flag) {
    for (const auto& row : kFlagRows) {
        if (row.slotRow.id == flag.id) {
            return row;
        }
    }
    return kFlagRows[0];
}

struct GangNumberRow {
    std::string_view gangName;
    SlotRow slotRow;
};

constexpr GangNumberRow kGangNumbers[] = {
    {kGangSegmentNumber, kSegmentNumber},
    {kGangRepeatsNumber, kRepeatsNumber},
    {kGangVolumeNumber, kVolumeNumber},
    {kGangStaccatoDividerNumber, kDividerNumber},
};

enum class ButtonKind {
    Flag,
    DefaultSegment,
    RepeatsNone,
    VolumeNone,
    RandomSegment,
    RandomDivider,
};

struct GangButton {
    std::string name;
    ButtonKind kind;
    SlotRow flag = kStaccatoCheckText;
    GangAction action = GangAction::All;
};

// Layout order: the reset and randomiser buttons sit on the rows of their numbers.
std::vector<GangButton> buildButtons() {
    std::vector<GangButton> buttons;
    buttons.push_back({"GangRandomSegmentButton", ButtonKind::RandomSegment});
    buttons.push_back({"GangDefaultSegmentButton", ButtonKind::DefaultSegment});
    buttons.push_back({"GangRepeatsNoneButton", ButtonKind::RepeatsNone});
    buttons.push_back({"GangVolumeNoneButton", ButtonKind::VolumeNone});
    auto addFlagRow = [&](const FlagRow& row) {
        const int actions = row.hasRandom ? 4 : 3;
        for (int a = 0; a < actions; ++a) {
            buttons.push_back(
                {"Gang" + std::string(row.prefix) + std::string(kActionNames[a]) + "Button",
                 ButtonKind::Flag, row.slotRow, static_cast<GangAction>(a)});
        }
    };
    addFlagRow(kFlagRows[0]);
    buttons.push_back({"GangStaccatoRandomDividerButton", ButtonKind::RandomDivider});
    for (size_t i = 1; i < std::size(kFlagRows); ++i) {
        addFlagRow(kFlagRows[i]);
    }
    return buttons;
}

const std::vector<GangButton>& buttons() {
    static const std::vector<GangButton> all = buildButtons();
    return all;
}

} // namespace

void gangFlag(PatternAccess& pattern, TRandomGenerator& random, SlotRow flag, GangAction action) {
    const FlagRow& row = rowOf(flag);
    if (action == GangAction::Random && !row.hasRandom) {
        return;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (row.honoursLocks && pattern.IsSlotLocked(slot)) {
            continue;
        }
        bool value = false;
        switch (action) {
        case GangAction::All:
            value = true;
            break;
        case GangAction::None:
            value = false;
            break;
        case GangAction::Inverse:
            value = !pattern.slotCheck(row.slotRow, slot);
            break;
        case GangAction::Random:
            value = random.Random(2) == 1;
            break;
        }
        pattern.setSlotCheck(row.slotRow, slot, value);
    }
}

void gangNumber(PatternAccess& pattern, SlotRow slotRow, int value) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!pattern.IsSlotLocked(slot)) {
            pattern.setSlotNumber(slotRow, slot, value);
        }
    }
}

void defaultSegments(PatternAccess& pattern) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!pattern.IsSlotLocked(slot)) {
            pattern.setSlotNumber(kSegmentNumber, slot, slot);
        }
    }
}

void repeatsNone(PatternAccess& pattern) {
    gangNumber(pattern, kRepeatsNumber, 1);
}

void volumeNone(PatternAccess& pattern) {
    gangNumber(pattern, kVolumeNumber, 0);
}

void gangNumberChanged(PatternAccess& pattern, std::string_view gangNumberName, int value) {
    for (const auto& row : kGangNumbers) {
        if (equalIgnoringCase(row.gangName, gangNumberName)) {
            gangNumber(pattern, row.slotRow, value);
            return;
        }
    }
}

std::span<const std::string_view> gangButtonNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> result;
        for (const auto& button : buttons()) {
            result.push_back(button.name);
        }
        return result;
    }();
    return names;
}

std::optional<std::string> gangButtonPulsed(PatternAccess& pattern, TRandomGenerator& random,
                                            std::string_view buttonName) {
    for (const auto& button : buttons()) {
        if (!equalIgnoringCase(button.name, buttonName)) {
            continue;
        }
        switch (button.kind) {
        case ButtonKind::Flag:
            gangFlag(pattern, random, button.flag, button.action);
            break;
        case ButtonKind::DefaultSegment:
            defaultSegments(pattern);
            break;
        case ButtonKind::RepeatsNone:
            repeatsNone(pattern);
            break;
        case ButtonKind::VolumeNone:
            volumeNone(pattern);
            break;
        case ButtonKind::RandomSegment:
            return randomSegments(pattern, random);
        case ButtonKind::RandomDivider:
            randomDividers(pattern, random);
            break;
        }
        break;
    }
    return std::nullopt;
}

} // namespace brev
