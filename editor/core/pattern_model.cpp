// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_model.h"

#include <algorithm>

namespace brev {

PatternModel::PatternModel() : handlers_(patternControls().size()) {
    resetToDefaults();
}

void PatternModel::resetToDefaults() {
    values_.clear();
    for (const auto& control : patternControls()) {
        values_.push_back(control.defaultValue);
    }
}

int PatternModel::valueIndex(std::string_view name, ControlKind kind) const {
    int index = controlIndex(name);
    if (index < 0 || patternControls()[static_cast<size_t>(index)].kind != kind) {
        return -1;
    }
    return index;
}

void PatternModel::store(int index, int value) {
    auto at = static_cast<size_t>(index);
    if (values_[at] == value) {
        return;
    }
    values_[at] = value;
    if (handlers_[at]) {
        // A copy: the handler may replace itself while it runs.
        OnChange handler = handlers_[at];
        handler(patternControls()[at], value);
    }
}

int PatternModel::NumberValue(std::string_view name) const {
    int index = valueIndex(name, ControlKind::Number);
    return index < 0 ? 0 : values_[static_cast<size_t>(index)];
}

void PatternModel::SetNumberValue(std::string_view name, int value) {
    int index = valueIndex(name, ControlKind::Number);
    if (index < 0) {
        return;
    }
    const auto& control = patternControls()[static_cast<size_t>(index)];
    store(index, std::clamp(value, control.minimum, control.maximum));
}

bool PatternModel::CheckValue(std::string_view name) const {
    int index = valueIndex(name, ControlKind::Check);
    return index >= 0 && values_[static_cast<size_t>(index)] != 0;
}

void PatternModel::SetCheckValue(std::string_view name, bool value) {
    int index = valueIndex(name, ControlKind::Check);
    if (index >= 0) {
        store(index, value ? 1 : 0);
    }
}

bool PatternModel::toggleDown(std::string_view name) const {
    int index = valueIndex(name, ControlKind::Toggle);
    return index >= 0 && values_[static_cast<size_t>(index)] != 0;
}

void PatternModel::setToggleDown(std::string_view name, bool down) {
    int index = valueIndex(name, ControlKind::Toggle);
    if (index >= 0) {
        values_[static_cast<size_t>(index)] = down ? 1 : 0;
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

} // namespace brev
