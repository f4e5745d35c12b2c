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
    GangFlag flag;
    std::string_view prefix; // as in the button names
    std::string_view slotPattern;
    bool honoursLocks;
    bool hasRandom;
};

constexpr FlagRow kFlagRows[] = {
    {GangFlag::Staccato, "Staccato", kStaccatoCheckText, true, true},
    {GangFlag::Deckstop, "Deckstop", kDeckstopCheckText, true, true},
    {GangFlag::Reverse, "Reverse", kReverseCheckText, true, true},
    {GangFlag::Mute, "Mute", kMuteCheckText, true, true},
    {GangFlag::MuteLeft, "MuteLeft", kMuteLeftCheckText, true, true},
    {GangFlag::MuteRight, "MuteRight", kMuteRightCheckText, true, true},
    {GangFlag::Flip, "Flip", kFlipCheckText, true, true},
    {GangFlag::Invert, "Invert", kPhaseCheckText, true, true},
    {GangFlag::Lock, "Lock", kLockCheckText, false, false},
    {GangFlag::Exclude, "Exclude", kExcludeCheckText, false, false},
    {GangFlag::FadeIn, "FadeIn", kFadeInCheckText, true, false},
    {GangFlag::FadeOut, "FadeOut", kFadeOutCheckText, true, false},
};

constexpr std::string_view kActionNames[] = {"All", "None", "Inverse", "Random"};

const FlagRow& rowOf(GangFlag flag) {
    for (const auto& row : kFlagRows) {
        if (row.flag == flag) {
            return row;
        }
    }
    return kFlagRows[0];
}

struct GangNumberRow {
    std::string_view gangName;
    std::string_view slotPattern;
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
    GangFlag flag = GangFlag::Staccato;
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
                 ButtonKind::Flag, row.flag, static_cast<GangAction>(a)});
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

void gangFlag(PatternAccess& pattern, TRandomGenerator& random, GangFlag flag, GangAction action) {
    const FlagRow& row = rowOf(flag);
    if (action == GangAction::Random && !row.hasRandom) {
        return;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (row.honoursLocks && pattern.IsSlotLocked(slot)) {
            continue;
        }
        const std::string name = slotControlName(row.slotPattern, slot);
        bool value = false;
        switch (action) {
        case GangAction::All:
            value = true;
            break;
        case GangAction::None:
            value = false;
            break;
        case GangAction::Inverse:
            value = !pattern.CheckValue(name);
            break;
        case GangAction::Random:
            value = random.Random(2) == 1;
            break;
        }
        pattern.SetCheckValue(name, value);
    }
}

void gangNumber(PatternAccess& pattern, std::string_view slotPattern, int value) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!pattern.IsSlotLocked(slot)) {
            pattern.SetNumberValue(slotControlName(slotPattern, slot), value);
        }
    }
}

void defaultSegments(PatternAccess& pattern) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!pattern.IsSlotLocked(slot)) {
            pattern.SetNumberValue(slotControlName(kSegmentNumber, slot), slot);
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
            gangNumber(pattern, row.slotPattern, value);
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
