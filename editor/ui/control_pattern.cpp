// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/control_pattern.h"

#include "controls/brev_check_text.h"
#include "controls/brev_number.h"
#include "editor/ui/interface_form.h"

#include <QSignalBlocker>
#include <QToolButton>

namespace brev {

namespace {

template <class T> T* lookup(const TInterfaceForm& form, std::string_view name) {
    return form.component<T>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

QToolButton* toggle(const TInterfaceForm& form, std::string_view name) {
    QToolButton* button = lookup<QToolButton>(form, name);
    return button && button->isCheckable() ? button : nullptr;
}

} // namespace

int ControlPattern::NumberValue(std::string_view name) const {
    const TBrevNumber* number = lookup<TBrevNumber>(form_, name);
    return number ? number->Value() : 0;
}

void ControlPattern::SetNumberValue(std::string_view name, int value) {
    if (TBrevNumber* number = lookup<TBrevNumber>(form_, name))
        number->SetValue(value);
}

bool ControlPattern::CheckValue(std::string_view name) const {
    const TBrevCheckText* check = lookup<TBrevCheckText>(form_, name);
    return check && check->Value();
}

void ControlPattern::SetCheckValue(std::string_view name, bool value) {
    if (TBrevCheckText* check = lookup<TBrevCheckText>(form_, name))
        check->SetValue(value);
}

bool ControlPattern::toggleDown(std::string_view name) const {
    const QToolButton* button = toggle(form_, name);
    return button && button->isChecked();
}

void ControlPattern::setToggleDown(std::string_view name, bool down) {
    // setChecked fires no click, so no handler runs.
    if (QToolButton* button = toggle(form_, name))
        button->setChecked(down);
}

void ControlPattern::restoreValue(const ControlInfo& control, int value) {
    QWidget* widget = form_.findComponent(QString::fromStdString(control.name));
    const QSignalBlocker quiet(widget);
    if (control.kind == ControlKind::Number)
        SetNumberValue(control.name, value);
    else if (control.kind == ControlKind::Check)
        SetCheckValue(control.name, value != 0);
}

} // namespace brev
