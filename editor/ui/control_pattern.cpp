// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/control_pattern.h"

#include "controls/brev_check_text.h"
#include "controls/brev_number.h"

#include <QSignalBlocker>
#include <QToolButton>

namespace brev {

namespace {

bool hasKind(QWidget* widget, ControlKind kind) {
    switch (kind) {
    case ControlKind::Number:
        return qobject_cast<TBrevNumber*>(widget);
    case ControlKind::Check:
        return qobject_cast<TBrevCheckText*>(widget);
    case ControlKind::Toggle: {
        auto* button = qobject_cast<QToolButton*>(widget);
        return button && button->isCheckable();
    }
    }
    return false;
}

} // namespace

void ControlPattern::bind(const FindControl& find) {
    widgets_.clear();
    for (const ControlInfo& control : patternControls()) {
        QWidget* widget = find(QString::fromStdString(control.name));
        widgets_.push_back(widget && hasKind(widget, control.kind) ? widget : nullptr);
    }
}

int ControlPattern::value(int control) const {
    const auto at = static_cast<std::size_t>(control);
    QWidget* widget = at < widgets_.size() ? widgets_[at] : nullptr;
    if (!widget)
        return 0;
    switch (patternControls()[at].kind) {
    case ControlKind::Number:
        return static_cast<const TBrevNumber*>(widget)->Value();
    case ControlKind::Check:
        return static_cast<const TBrevCheckText*>(widget)->Value() ? 1 : 0;
    case ControlKind::Toggle:
        return static_cast<const QToolButton*>(widget)->isChecked() ? 1 : 0;
    }
    return 0;
}

void ControlPattern::setValue(int control, int value) {
    const auto at = static_cast<std::size_t>(control);
    QWidget* widget = at < widgets_.size() ? widgets_[at] : nullptr;
    if (!widget)
        return;
    switch (patternControls()[at].kind) {
    case ControlKind::Number:
        static_cast<TBrevNumber*>(widget)->SetValue(value);
        break;
    case ControlKind::Check:
        static_cast<TBrevCheckText*>(widget)->SetValue(value != 0);
        break;
    case ControlKind::Toggle:
        // setChecked fires no click, so no handler runs.
        static_cast<QToolButton*>(widget)->setChecked(value != 0);
        break;
    }
}

void ControlPattern::restoreValue(int control, int value) {
    const auto at = static_cast<std::size_t>(control);
    if (at >= widgets_.size() || patternControls()[at].kind == ControlKind::Toggle)
        return;
    const QSignalBlocker quiet(widgets_[at]);
    setValue(control, value);
}

} // namespace brev
