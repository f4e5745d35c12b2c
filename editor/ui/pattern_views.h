// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/control_store.h"
#include "editor/core/pattern_model.h"

#include <QStringView>
#include <functional>
#include <vector>

class QWidget;

namespace brev {

// The window's controls as views of the pattern model: numbers are TBrevNumber, flags
// TBrevCheckText, toggles the toolbar's checkable buttons, each bound once by its control id.
// An edit on a control goes to the model, which clamps it, has the control show it and runs
// the control's change handler.
class PatternViews : public ControlStore {
public:
    using FindControl = std::function<QWidget*(QStringView name)>;

    explicit PatternViews(PatternModel& model) : model_(model) {}

    // Binds every control of patternControls() to the window's widget of that name, which then
    // shows the model's value; one that is missing or of another kind stays unbound.
    void bind(const FindControl& find);

    int storedValue(int control) const override { return model_.value(control); }
    void store(int control, int value) override { model_.setValue(control, value); }

private:
    void show(int control, int value) const;

    PatternModel& model_;
    std::vector<QWidget*> widgets_; // by control id
    Subscription shown_;
};

} // namespace brev
