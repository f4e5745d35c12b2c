// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_model.h"

#include <algorithm>

namespace brev {

namespace {

// The handler, run only for the controls picked.
PatternModel::OnChange onlyFor(std::function<bool(const ControlInfo&)> picked,
                               PatternModel::OnChange handler) {
    return [picked = std::move(picked), handler = std::move(handler)](const ControlInfo& control,
                                                                      int value) {
        if (picked(control))
            handler(control, value);
    };
}

} // namespace

PatternModel::PatternModel() {
    for (const auto& control : patternControls())
        values_.push_back(control.defaultValue);
}

void PatternModel::resetToDefaults() {
    const auto controls = patternControls();
    for (std::size_t i = 0; i < controls.size(); ++i)
        restoreValue(int(i), controls[i].defaultValue);
}

bool PatternModel::store(int control, int value) {
    const auto at = static_cast<std::size_t>(control);
    const ControlInfo& info = patternControls()[at];
    value = info.kind == ControlKind::Number ? std::clamp(value, info.minimum, info.maximum)
                                             : int(value != 0);
    if (values_[at] == value)
        return false;
    values_[at] = value;
    views_(control, value);
    return true;
}

void PatternModel::restoreValue(int control, int value) {
    store(control, value);
}

void PatternModel::setValue(int control, int value) {
    if (!store(control, value))
        return;
    const auto at = static_cast<std::size_t>(control);
    const ControlInfo& info = patternControls()[at];
    // Code never clicks a toggle.
    if (info.kind != ControlKind::Toggle)
        handlers_(info, values_[at]);
}

Subscription PatternModel::addControlHandler(std::string_view controlName, OnChange handler) {
    const int index = controlIndex(controlName);
    if (index < 0)
        return {};
    const ControlInfo* picked = &patternControls()[static_cast<std::size_t>(index)];
    return handlers_.subscribe(onlyFor(
        [picked](const ControlInfo& control) { return &control == picked; }, std::move(handler)));
}

Subscription PatternModel::addHandler(ChangeHandler tableHandler, OnChange handler) {
    if (tableHandler == ChangeHandler::None)
        return {};
    return handlers_.subscribe(onlyFor(
        [tableHandler](const ControlInfo& control) { return control.handler == tableHandler; },
        std::move(handler)));
}

Subscription PatternModel::addHandlers(OnChange handler) {
    return handlers_.subscribe(
        onlyFor([](const ControlInfo& control) { return control.handler != ChangeHandler::None; },
                std::move(handler)));
}

} // namespace brev
