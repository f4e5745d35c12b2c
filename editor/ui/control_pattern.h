// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

namespace brev {

class TInterfaceForm;

// The pattern as the window's controls hold it: numbers are TBrevNumber, flags TBrevCheckText,
// toggles the toolbar's checkable buttons. Writes go through the controls, so clamping and
// change handlers are theirs.
class ControlPattern : public PatternAccess {
public:
    explicit ControlPattern(const TInterfaceForm& form) : form_(form) {}

    int NumberValue(std::string_view name) const override;
    void SetNumberValue(std::string_view name, int value) override;
    bool CheckValue(std::string_view name) const override;
    void SetCheckValue(std::string_view name, bool value) override;
    bool toggleDown(std::string_view name) const override;
    void setToggleDown(std::string_view name, bool down) override;

    // Writes a value the control held before, running no change handler: whatever a handler
    // would change is restored with it.
    void restoreValue(const ControlInfo& control, int value);

private:
    const TInterfaceForm& form_;
};

} // namespace brev
