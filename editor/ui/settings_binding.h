// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"
#include "editor/ui/editor_settings.h"

#include <QColor>
#include <functional>
#include <string_view>

class QToolButton;
class QWidget;

namespace brev {

// What the stored settings are shown in: the pattern's global numbers, the toolbar's toggles
// (by name) and the window's background.
struct SettingsTargets {
    PatternAccess& pattern;
    std::function<QToolButton*(std::string_view name)> toggle;
    QWidget& window;
};

// Reads the stored values into the targets, each absent one at its default; returns the stored
// device index.
int readWindowSettings(const EditorSettings& settings, const SettingsTargets& targets);

// Writes what the targets show and the device index; false when the file could not be written.
bool writeWindowSettings(EditorSettings& settings, const SettingsTargets& targets, int driverIndex);

// The window's background colour, as the settings keep it.
QColor backgroundColour(const QWidget& window);
void setBackgroundColour(QWidget& window, const QColor& colour);

} // namespace brev
