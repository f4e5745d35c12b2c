// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_tools.h"

#include "base/error.h"
#include "editor/core/gang_operations.h"
#include "editor/core/pattern_model.h"

#include <vector>

namespace brev {

namespace {

const ControlInfo& arrowControl(int tag, const char* message) {
    if (tag < 0 || tag >= kNumberControlCount) {
        throw Error(message);
    }
    return numberControlsByArrowTag()[static_cast<size_t>(tag)];
}

// One slot's values that the fade rules compare.
struct FadeView {
    int segment;
    int repeats;
    int volume;
    bool staccato;
    bool reverse;
    bool mute;
    bool flip;
    bool phase;
};

FadeView readFadeView(const PatternAccess& pattern, int slot) {
    return {pattern.slotNumber(kSegmentNumber, slot),   pattern.slotNumber(kRepeatsNumber, slot),
            pattern.slotNumber(kVolumeNumber, slot),    pattern.slotCheck(kStaccatoCheckText, slot),
            pattern.slotCheck(kReverseCheckText, slot), pattern.slotCheck(kMuteCheckText, slot),
            pattern.slotCheck(kFlipCheckText, slot),    pattern.slotCheck(kPhaseCheckText, slot)};
}

bool fadeInWanted(const FadeView& slot, const FadeView* previous, bool first) {
    if (first && slot.volume != 0) {
        return true;
    }
    if (slot.reverse) {
        return true;
    }
    if (previous == nullptr) {
        return false;
    }
    const FadeView& p = *previous;
    return slot.segment != p.segment + 1 || p.repeats > 1 || slot.volume != p.volume ||
           p.staccato || p.reverse || p.mute || p.flip != slot.flip || p.phase != slot.phase;
}

bool fadeOutWanted(const FadeView& slot, const FadeView* next, bool last) {
    if (slot.repeats > 1 || slot.reverse) {
        return true;
    }
    if (last && slot.volume != 0) {
        return true;
    }
    if (next == nullptr) {
        return false;
    }
    const FadeView& n = *next;
    return slot.segment + 1 != n.segment || slot.volume != n.volume || n.reverse || n.mute ||
           slot.flip != n.flip || slot.phase != n.phase;
}

} // namespace

std::optional<std::string> randomSegments(PatternAccess& pattern, TRandomGenerator& random) {
    std::vector<int> pool;
    for (int segment = 0; segment < kSlotCount; ++segment) {
        if (!pattern.slotCheck(kExcludeCheckText, segment)) {
            pool.push_back(segment);
        }
    }
    if (pool.empty()) {
        return std::string(kPoolEmptyMessage);
    }
    const int size = static_cast<int>(pool.size());
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (pattern.IsSlotLocked(slot)) {
            continue;
        }
        const int k = random.Random(size);
        pattern.setSlotNumber(kSegmentNumber, slot, pool[static_cast<size_t>(k)]);
    }
    return std::nullopt;
}

void randomDividers(PatternAccess& pattern, TRandomGenerator& random) {
    const int maximumAdd = pattern.NumberValue(kGangStaccatoRandomInputNumber);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!pattern.IsSlotLocked(slot)) {
            pattern.setSlotNumber(kDividerNumber, slot, random.Random(maximumAdd + 1) + 2);
        }
    }
}

void randomPingPong(PatternAccess& pattern, TRandomGenerator& random) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (pattern.IsSlotLocked(slot)) {
            continue;
        }
        pattern.setSlotCheck(kMuteCheckText, slot, false);
        switch (random.Random(3)) {
        case 0: // right only
            pattern.setSlotCheck(kMuteLeftCheckText, slot, true);
            pattern.setSlotCheck(kMuteRightCheckText, slot, false);
            break;
        case 1: // left only
            pattern.setSlotCheck(kMuteLeftCheckText, slot, false);
            pattern.setSlotCheck(kMuteRightCheckText, slot, true);
            break;
        default:
            pattern.setSlotCheck(kMuteLeftCheckText, slot, false);
            pattern.setSlotCheck(kMuteRightCheckText, slot, false);
            break;
        }
    }
    UpdateSmartFades(pattern);
}

void centerAll(PatternAccess& pattern) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (pattern.IsSlotLocked(slot)) {
            continue;
        }
        pattern.setSlotCheck(kMuteCheckText, slot, false);
        pattern.setSlotCheck(kMuteLeftCheckText, slot, false);
        pattern.setSlotCheck(kMuteRightCheckText, slot, false);
    }
    UpdateSmartFades(pattern);
}

void CopySlot(PatternAccess& pattern, int source, int destination) {
    // Each value is read just before its write: a handler run by one write may change the next.
    static constexpr SlotRow kNumbers[] = {kSegmentNumber, kRepeatsNumber, kVolumeNumber};
    for (auto row : kNumbers) {
        pattern.setSlotNumber(row, destination, pattern.slotNumber(row, source));
    }
    pattern.setSlotCheck(kStaccatoCheckText, destination,
                         pattern.slotCheck(kStaccatoCheckText, source));
    pattern.setSlotNumber(kDividerNumber, destination, pattern.slotNumber(kDividerNumber, source));
    static constexpr SlotRow kFlags[] = {kReverseCheckText,   kMuteCheckText,   kMuteLeftCheckText,
                                         kMuteRightCheckText, kFlipCheckText,   kPhaseCheckText,
                                         kFadeInCheckText,    kFadeOutCheckText};
    for (auto row : kFlags) {
        pattern.setSlotCheck(row, destination, pattern.slotCheck(row, source));
    }
    UpdateSmartFades(pattern);
}

void cloneNext(PatternAccess& pattern, int slot) {
    CopySlot(pattern, slot + 1 > 15 ? 0 : slot + 1, slot);
}

void clonePrevious(PatternAccess& pattern, int slot) {
    CopySlot(pattern, slot - 1 < 0 ? 15 : slot - 1, slot);
}

void upArrow(PatternAccess& pattern, int tag) {
    const ControlInfo& control =
        arrowControl(tag, "TInterfaceForm::UpArrowClick - index out of bounds");
    const int value = pattern.NumberValue(control.name);
    if (value < control.maximum) {
        pattern.SetNumberValue(control.name, value + 1);
    }
}

void downArrow(PatternAccess& pattern, int tag) {
    const ControlInfo& control =
        arrowControl(tag, "TInterfaceForm::DownArrowClick - index out of bounds");
    const int value = pattern.NumberValue(control.name);
    if (control.minimum < value) {
        pattern.SetNumberValue(control.name, value - 1);
    }
}

void UpdateSmartFades(PatternAccess& pattern) {
    if (!pattern.toggleDown(kSmartFadesButton)) {
        return;
    }
    // Only fade flags are written below and they fire no handler, so reading every slot once
    // up front sees the same values as reading each just before use.
    FadeView views[kSlotCount];
    for (int slot = 0; slot < kSlotCount; ++slot) {
        views[slot] = readFadeView(pattern, slot);
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        pattern.setSlotCheck(kFadeInCheckText, slot, false);
        pattern.setSlotCheck(kFadeOutCheckText, slot, false);
        const FadeView* previous = slot >= 1 ? &views[slot - 1] : nullptr;
        const FadeView* next = slot <= 14 ? &views[slot + 1] : nullptr;
        if (fadeInWanted(views[slot], previous, slot == 0)) {
            pattern.setSlotCheck(kFadeInCheckText, slot, true);
        }
        if (fadeOutWanted(views[slot], next, slot == 15)) {
            pattern.setSlotCheck(kFadeOutCheckText, slot, true);
        }
        const bool bothSidesMuted = pattern.slotCheck(kMuteLeftCheckText, slot) &&
                                    pattern.slotCheck(kMuteRightCheckText, slot);
        if (views[slot].mute || bothSidesMuted) {
            pattern.setSlotCheck(kFadeInCheckText, slot, false);
            pattern.setSlotCheck(kFadeOutCheckText, slot, false);
        }
    }
    if (views[0].segment != 0) {
        pattern.setSlotCheck(kFadeInCheckText, 0, true);
    }
    if (views[15].segment != 15) {
        pattern.setSlotCheck(kFadeOutCheckText, 15, true);
    }
}

void smartFadesButtonClick(PatternAccess& pattern) {
    if (pattern.toggleDown(kSmartFadesButton)) {
        UpdateSmartFades(pattern);
    }
}

void runChangeHandler(PatternAccess& pattern, const ControlInfo& control, int value) {
    switch (control.handler) {
    case ChangeHandler::ValueChanged:
    case ChangeHandler::CheckChanged:
        UpdateSmartFades(pattern);
        return;
    case ChangeHandler::GangSegmentNumberChanged:
    case ChangeHandler::GangRepeatsNumberChanged:
    case ChangeHandler::GangVolumeNumberChanged:
    case ChangeHandler::GangStaccatoDividerNumberChanged:
        gangNumberChanged(pattern, control.name, value);
        return;
    case ChangeHandler::None:
    case ChangeHandler::SwingNumberChanged:
    case ChangeHandler::CuttingAngleNumberChanged:
        return;
    }
}

Subscription attachChangeHandlers(PatternModel& model) {
    return model.addHandlers([&model](const ControlInfo& control, int value) {
        runChangeHandler(model, control, value);
    });
}

} // namespace brev
