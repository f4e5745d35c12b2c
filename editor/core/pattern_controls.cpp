// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_controls.h"

#include "editor/core/name_index.h"

#include <array>
#include <vector>

namespace brev {

namespace {

struct SlotNumberRow {
    SlotRow slotRow;
    int minimum;
    int maximum;
    int defaultValue; // -1: the slot's own index
    ChangeHandler handler;
    std::string_view gangName;
    int gangDefault;
    ChangeHandler gangHandler;
};

// Tags 0 … 67: each slot row followed by its gang number.
constexpr SlotNumberRow kSlotNumberRows[] = {
    {kSegmentNumber, 0, 15, -1, ChangeHandler::ValueChanged, kGangSegmentNumber, 0,
     ChangeHandler::GangSegmentNumberChanged},
    {kRepeatsNumber, 1, 99, 1, ChangeHandler::ValueChanged, kGangRepeatsNumber, 1,
     ChangeHandler::GangRepeatsNumberChanged},
    {kVolumeNumber, -99, 99, 0, ChangeHandler::ValueChanged, kGangVolumeNumber, 0,
     ChangeHandler::GangVolumeNumberChanged},
    {kDividerNumber, 2, 99, 2, ChangeHandler::None, kGangStaccatoDividerNumber, 2,
     ChangeHandler::GangStaccatoDividerNumberChanged},
};

struct GlobalNumber {
    std::string_view name;
    int minimum;
    int maximum;
    int defaultValue;
    ChangeHandler handler;
};

// Tags 68 … 72.
constexpr GlobalNumber kGlobalNumbers[] = {
    {kGangStaccatoRandomInputNumber, 1, 99, 1, ChangeHandler::None},
    {kFadeSamplesNumber, 0, 999, 100, ChangeHandler::None},
    {kSwingNumber, 0, 100, 0, ChangeHandler::SwingNumberChanged},
    {kCuttingAngleNumber, -89, 89, 0, ChangeHandler::CuttingAngleNumberChanged},
    // The ramp shares the angle's handler: both refresh the angle-offset panel.
    {kDeckstopRampNumber, 1, 100, 50, ChangeHandler::CuttingAngleNumberChanged},
};

struct FlagRow {
    SlotRow slotRow;
    ChangeHandler handler;
};

// Top to bottom as the grid shows them.
constexpr FlagRow kFlagRows[] = {
    {kStaccatoCheckText, ChangeHandler::CheckChanged},
    {kDeckstopCheckText, ChangeHandler::CheckChanged},
    {kReverseCheckText, ChangeHandler::CheckChanged},
    {kMuteCheckText, ChangeHandler::CheckChanged},
    {kMuteLeftCheckText, ChangeHandler::CheckChanged},
    {kMuteRightCheckText, ChangeHandler::CheckChanged},
    {kFlipCheckText, ChangeHandler::CheckChanged},
    {kPhaseCheckText, ChangeHandler::CheckChanged},
    {kLockCheckText, ChangeHandler::None},
    {kExcludeCheckText, ChangeHandler::None},
    {kFadeInCheckText, ChangeHandler::None},
    {kFadeOutCheckText, ChangeHandler::None},
};

// The toggles a pattern operation or a render reads; all default down (the settings' defaults).
constexpr std::string_view kToggles[] = {kInnerFadesButton, kLogFadesButton, kSmartFadesButton,
                                         kLoopButton};

std::vector<ControlInfo> buildTable() {
    std::vector<ControlInfo> table;
    int tag = 0;
    for (const auto& row : kSlotNumberRows) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            int value = row.defaultValue < 0 ? slot : row.defaultValue;
            table.push_back({slotControlName(row.slotRow, slot), ControlKind::Number, row.minimum,
                             row.maximum, value, row.handler, slot, tag++});
        }
        table.push_back({std::string(row.gangName), ControlKind::Number, row.minimum, row.maximum,
                         row.gangDefault, row.gangHandler, -1, tag++});
    }
    for (const auto& number : kGlobalNumbers) {
        table.push_back({std::string(number.name), ControlKind::Number, number.minimum,
                         number.maximum, number.defaultValue, number.handler, -1, tag++});
    }
    for (const auto& row : kFlagRows) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            table.push_back({slotControlName(row.slotRow, slot), ControlKind::Check, 0, 1, 0,
                             row.handler, slot, -1});
        }
    }
    for (auto name : kToggles) {
        table.push_back(
            {std::string(name), ControlKind::Toggle, 0, 1, 1, ChangeHandler::None, -1, -1});
    }
    return table;
}

const std::vector<ControlInfo>& table() {
    static const std::vector<ControlInfo> controls = buildTable();
    return controls;
}

// The position of each row's slot 0, by row id: a row's slots follow each other.
constexpr std::array<int, kSlotRowCount> slotRowStarts() {
    std::array<int, kSlotRowCount> starts{};
    int position = 0;
    for (const auto& number : kSlotNumberRows) {
        starts[static_cast<std::size_t>(number.slotRow.id)] = position;
        position += kSlotCount + 1; // and the row's gang number
    }
    position += static_cast<int>(std::size(kGlobalNumbers));
    for (const auto& flag : kFlagRows) {
        starts[static_cast<std::size_t>(flag.slotRow.id)] = position;
        position += kSlotCount;
    }
    return starts;
}

static_assert(std::size(kSlotNumberRows) + std::size(kFlagRows) == kSlotRowCount);
constexpr std::array<int, kSlotRowCount> kSlotRowStarts = slotRowStarts();

const NameIndex& nameIndex() {
    static const NameIndex index = [] {
        NameIndex result;
        const auto& controls = table();
        for (size_t i = 0; i < controls.size(); ++i) {
            result.insert(controls[i].name, i);
        }
        return result;
    }();
    return index;
}

} // namespace

std::string slotControlName(std::string_view pattern, int slot) {
    std::string name(pattern);
    auto at = name.find("%d");
    if (at != std::string::npos) {
        name.replace(at, 2, std::to_string(slot));
    }
    return name;
}

std::span<const ControlInfo> patternControls() {
    return table();
}

std::span<const ControlInfo> numberControlsByArrowTag() {
    return std::span<const ControlInfo>(table()).first(kNumberControlCount);
}

int controlIndex(std::string_view name) {
    const std::size_t found = nameIndex().find(name);
    return found == NameIndex::npos ? -1 : static_cast<int>(found);
}

const ControlInfo* findControl(std::string_view name) {
    int index = controlIndex(name);
    return index < 0 ? nullptr : &table()[static_cast<size_t>(index)];
}

int slotControlIndex(SlotRow row, int slot) {
    if (slot < 0 || slot >= kSlotCount)
        return -1;
    return kSlotRowStarts[static_cast<std::size_t>(row.id)] + slot;
}

} // namespace brev
