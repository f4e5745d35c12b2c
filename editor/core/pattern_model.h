// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

#include <functional>
#include <string_view>
#include <vector>

namespace brev {

// The window's pattern without a window: every control of patternControls() with its
// value, starting at the defaults of a new window (toggles down, as the settings' defaults).
class PatternModel : public PatternAccess {
public:
    // Runs after a changed write with the control and its new value (flags: 0 or 1).
    using OnChange = std::function<void(const ControlInfo& control, int value)>;

    PatternModel();

    int value(int control) const override { return values_[static_cast<std::size_t>(control)]; }
    void setValue(int control, int value) override;

    // Attaches a handler to one control, replacing any it had; an empty function removes it.
    // Unknown names are ignored.
    void setControlHandler(std::string_view controlName, OnChange handler);

    // Attaches a handler to every control whose table handler is that one; None attaches nothing.
    void setHandler(ChangeHandler tableHandler, const OnChange& handler);

    // Every value back to its default, without running handlers.
    void resetToDefaults();

private:
    std::vector<int> values_;
    std::vector<OnChange> handlers_;
};

} // namespace brev
