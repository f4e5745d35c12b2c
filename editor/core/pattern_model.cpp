// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_model.h"

#include <algorithm>

namespace brev {

PatternModel::PatternModel() : handlers_(patternControls().size()) {
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
    if (view_)
        view_(control, value);
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
    if (info.kind != ControlKind::Toggle && handlers_[at]) {
        // A copy: the handler may replace itself while it runs.
        OnChange handler = handlers_[at];
        handler(info, values_[at]);
    }
}

void PatternModel::setControlHandler(std::string_view controlName, OnChange handler) {
    int index = controlIndex(controlName);
    if (index >= 0) {
        handlers_[static_cast<size_t>(index)] = std::move(handler);
    }
}

void PatternModel::setHandler(ChangeHandler tableHandler, const OnChange& handler) {
    auto controls = patternControls();
    for (size_t i = 0; i < controls.size(); ++i) {
        if (tableHandler != ChangeHandler::None && controls[i].handler == tableHandler) {
            handlers_[i] = handler;
        }
    }
}

void PatternModel::setHandlers(const OnChange& handler) {
    const auto controls = patternControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].handler != ChangeHandler::None)
            handlers_[i] = handler;
    }
}

} // namespace brev
