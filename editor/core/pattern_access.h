// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_controls.h"

#include <string_view>

namespace brev {

// The pattern as the editor's operations see it: values addressed by full control name,
// ignoring case. The window implements it over its controls, PatternModel in memory.
//
// Semantics every implementation keeps:
// - a missing control, or one of another kind, reads as 0 / off / up and ignores writes;
// - a number write is clamped to the control's range;
// - a write that changes the stored value runs the control's change handler at once,
//   before the write returns; an unchanged value runs nothing;
// - toggles are written without running any handler (code never "clicks" them).
class PatternAccess {
public:
    virtual ~PatternAccess() = default;

    virtual int NumberValue(std::string_view name) const = 0;
    virtual void SetNumberValue(std::string_view name, int value) = 0;
    virtual bool CheckValue(std::string_view name) const = 0;
    virtual void SetCheckValue(std::string_view name, bool value) = 0;

    // InnerFadesButton, LogFadesButton, SmartFadesButton, LoopButton: true while down.
    virtual bool toggleDown(std::string_view name) const = 0;
    virtual void setToggleDown(std::string_view name, bool down) = 0;

    bool IsSlotLocked(int slot) const { return CheckValue(slotControlName(kLockCheckText, slot)); }

    // Slot-indexed shorthands: pattern is one of the "%d" name patterns.
    int slotNumber(std::string_view pattern, int slot) const {
        return NumberValue(slotControlName(pattern, slot));
    }
    bool slotCheck(std::string_view pattern, int slot) const {
        return CheckValue(slotControlName(pattern, slot));
    }
};

} // namespace brev
