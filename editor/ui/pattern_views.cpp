// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/pattern_views.h"

#include "controls/brev_check_text.h"
#include "controls/brev_number.h"

#include <QToolButton>

namespace brev {

namespace {

QWidget* viewOf(QWidget* widget, ControlKind kind) {
    switch (kind) {
    case ControlKind::Number:
        return qobject_cast<TBrevNumber*>(widget);
    case ControlKind::Check:
        return qobject_cast<TBrevCheckText*>(widget);
    case ControlKind::Toggle: {
        auto* button = qobject_cast<QToolButton*>(widget);
        return button && button->isCheckable() ? button : nullptr;
    }
    }
    return nullptr;
}

} // namespace

void PatternViews::bind(const FindControl& find) {
    widgets_.clear();
    const auto controls = patternControls();
    for (int id = 0; id < int(controls.size()); ++id) {
        const ControlInfo& control = controls[static_cast<std::size_t>(id)];
        QWidget* view = viewOf(find(QString::fromStdString(control.name)), control.kind);
        widgets_.push_back(view);
        if (!view)
            continue;
        switch (control.kind) {
        case ControlKind::Number:
            static_cast<TBrevNumber*>(view)->bindTo(*this, id);
            break;
        case ControlKind::Check:
            static_cast<TBrevCheckText*>(view)->bindTo(*this, id);
            break;
        case ControlKind::Toggle:
            // A toggle switches itself when clicked, before its click handler runs.
            QObject::connect(static_cast<QToolButton*>(view), &QToolButton::toggled, view,
                             [this, id](bool down) { model_.setValue(id, down ? 1 : 0); });
            show(id, model_.value(id));
            break;
        }
    }
    shown_ = model_.addView([this](int control, int value) { show(control, value); });
}

void PatternViews::show(int control, int value) const {
    QWidget* view = widgets_[static_cast<std::size_t>(control)];
    if (!view)
        return;
    switch (patternControls()[static_cast<std::size_t>(control)].kind) {
    case ControlKind::Number:
        static_cast<TBrevNumber*>(view)->showValue(value);
        break;
    case ControlKind::Check:
        static_cast<TBrevCheckText*>(view)->showValue();
        break;
    case ControlKind::Toggle:
        // setChecked fires no click, so no handler runs.
        static_cast<QToolButton*>(view)->setChecked(value != 0);
        break;
    }
}

} // namespace brev
