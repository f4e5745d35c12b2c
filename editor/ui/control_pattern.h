// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

#include <QStringView>
#include <functional>
#include <vector>

class QWidget;

namespace brev {

// The pattern as the window's controls hold it: numbers are TBrevNumber, flags TBrevCheckText,
// toggles the toolbar's checkable buttons, each bound once by its control id. Writes go through
// the controls, so clamping and change handlers are theirs.
class ControlPattern : public PatternAccess {
public:
    using FindControl = std::function<QWidget*(QStringView name)>;

    // Binds every control of patternControls() to the window's widget of that name; one that is
    // missing or of another kind stays unbound and reads as 0.
    void bind(const FindControl& find);

    int value(int control) const override;
    void setValue(int control, int value) override;

    // Writes a value the control held before, running no change handler: whatever a handler
    // would change is restored with it.
    void restoreValue(int control, int value);

private:
    std::vector<QWidget*> widgets_; // by control id
};

} // namespace brev
