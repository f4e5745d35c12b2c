// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_controls.h"

#include <string_view>

namespace brev {

// The pattern as the editor's operations see it: values addressed by control id (the control's
// position in patternControls()), or by full control name, ignoring case, which is looked up once
// per call. PatternModel implements it; the window's controls are views of one.
//
// Semantics every implementation keeps:
// - an unknown id or name, or a control of another kind than asked, reads as 0 / off / up and
//   ignores writes;
// - a number write is clamped to the control's range;
// - a write that changes the stored value runs the control's change handler at once,
//   before the write returns; an unchanged value runs nothing;
// - toggles are written without running any handler (code never "clicks" them).
class PatternAccess {
public:
    virtual ~PatternAccess() = default;

    // The value of control id: a number, or 1 / 0 for a flag that is on or a toggle that is down.
    // The id must be valid.
    virtual int value(int control) const = 0;
    virtual void setValue(int control, int value) = 0;

    int NumberValue(std::string_view name) const { return valueOf(name, ControlKind::Number); }
    void SetNumberValue(std::string_view name, int value) {
        writeTo(name, ControlKind::Number, value);
    }
    bool CheckValue(std::string_view name) const { return valueOf(name, ControlKind::Check) != 0; }
    void SetCheckValue(std::string_view name, bool value) {
        writeTo(name, ControlKind::Check, value ? 1 : 0);
    }

    // InnerFadesButton, LogFadesButton, SmartFadesButton, LoopButton: true while down.
    bool toggleDown(std::string_view name) const { return valueOf(name, ControlKind::Toggle) != 0; }
    void setToggleDown(std::string_view name, bool down) {
        writeTo(name, ControlKind::Toggle, down ? 1 : 0);
    }

    bool IsSlotLocked(int slot) const { return slotCheck(kLockCheckText, slot); }

    // A row's control for a slot, by index: no name is built or compared.
    int slotNumber(SlotRow row, int slot) const {
        const int id = slotControlIndex(row, slot);
        return id >= 0 ? value(id) : 0;
    }
    bool slotCheck(SlotRow row, int slot) const { return slotNumber(row, slot) != 0; }
    void setSlotNumber(SlotRow row, int slot, int newValue) {
        const int id = slotControlIndex(row, slot);
        if (id >= 0)
            setValue(id, newValue);
    }
    void setSlotCheck(SlotRow row, int slot, bool on) { setSlotNumber(row, slot, on ? 1 : 0); }

private:
    static int idOf(std::string_view name, ControlKind kind) {
        const int id = controlIndex(name);
        return id >= 0 && patternControls()[static_cast<std::size_t>(id)].kind == kind ? id : -1;
    }
    int valueOf(std::string_view name, ControlKind kind) const {
        const int id = idOf(name, kind);
        return id >= 0 ? value(id) : 0;
    }
    void writeTo(std::string_view name, ControlKind kind, int newValue) {
        const int id = idOf(name, kind);
        if (id >= 0)
            setValue(id, newValue);
    }
};

} // namespace brev
