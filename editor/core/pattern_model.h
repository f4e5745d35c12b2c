// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/listeners.h"
#include "editor/core/pattern_access.h"

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace brev {

// The one place the pattern lives: every control of patternControls() with its value,
// starting at the settings' defaults (toggles down). Controls on screen are its views. Any
// number of views and handlers follow it, each for as long as its subscription lives, called
// in the order they subscribed.
class PatternModel : public PatternAccess {
public:
    // Runs after a changed write with the control and its new value (flags: 0 or 1).
    using OnChange = std::function<void(const ControlInfo& control, int value)>;
    // Runs whenever a stored value changed, by a write or a restore, before any handler.
    using OnShow = std::function<void(int control, int value)>;

    PatternModel();

    int value(int control) const override { return values_[static_cast<std::size_t>(control)]; }
    // Every control's value, by control id.
    const std::vector<int>& values() const { return values_; }
    void setValue(int control, int value) override;
    // Writes a value the control held before, running no change handler: whatever a handler
    // would change is restored with it. The views still show it.
    void restoreValue(int control, int value);

    [[nodiscard]] Subscription addView(OnShow view) { return views_.subscribe(std::move(view)); }

    // Attaches a handler to one control; unknown names get an empty subscription.
    [[nodiscard]] Subscription addControlHandler(std::string_view controlName, OnChange handler);
    // Attaches a handler to every control whose table handler is that one; None attaches nothing.
    [[nodiscard]] Subscription addHandler(ChangeHandler tableHandler, OnChange handler);
    // Attaches one handler to every control that the table gives a handler.
    [[nodiscard]] Subscription addHandlers(OnChange handler);

    // Every value back to its default, without running handlers; the views show them.
    void resetToDefaults();

private:
    // Clamps and keeps the value and shows it; false when it was already there.
    bool store(int control, int value);

    std::vector<int> values_;
    Listeners<int, int> views_;
    Listeners<const ControlInfo&, int> handlers_;
};

} // namespace brev
