// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/ui/handler_binding.h"

#include <QList>
#include <QRect>
#include <QString>

namespace brev {

enum class WidgetKind {
    Label,       // QLabel: a row caption
    Separator,   // QFrame: a vertical line between slot groups
    Number,      // TBrevNumber
    CheckText,   // TBrevCheckText
    PulseButton, // TBrevPulseButton
    LED,         // TBrevLED
    ToolButton,  // a flat toolbar push button with an icon
    ToolToggle,  // a flat toolbar button that stays down
    ComboBox,    // the output-device list
    UpArrow,     // ArrowButton stepping a number up
    DownArrow,   // ArrowButton stepping a number down
};

// One control of the main window as its layout describes it.
struct WidgetEntry {
    QString name;
    WidgetKind kind = WidgetKind::Label;
    QRect geometry; // in the window's client area (the toolbar panel sits at its origin)
    QString caption;
    QString hint;
    HandlerBinding handler; // the handler its event fires; empty for none
    int tag = 0;            // slot index of per-slot controls, number index of arrow buttons
    int minimum = 0;        // numbers only
    int maximum = 0;
    int defaultValue = 0; // numbers: also the value at creation
    QString icon;         // toolbar buttons: resource path of the glyph
    bool inToolbar = false;
};

// Below the LED row and as wide as the slot grid; the window is taller by the strip and its gap.
inline constexpr QRect kWaveformStripGeometry(96, 484, 529, 48);
inline constexpr int kClientWidth = 774;
inline constexpr int kClientHeight = 535 + 4 + kWaveformStripGeometry.height();
inline constexpr int kToolbarHeight = 26;
inline constexpr int kStatusBarHeight = 19;
inline constexpr int kArrowCount = 146;
// Below the global numbers: the target tempo, the loop's own and the pitch.
inline constexpr QRect kTempoControlsGeometry(630, 512, 144, 52);

// Every control of the window in creation order: toolbar, row labels and separators, the slot
// grid row by row, the gang column, the global numbers, then the arrow buttons by tag.
const QList<WidgetEntry>& interfaceLayout();

// The widths and first texts of the status bar's panels.
struct StatusPanelEntry {
    int width;
    const char* text;
};
// The last panel reaches to the bar's end, wide enough for "Angle offset -42551 samples".
inline constexpr StatusPanelEntry kStatusPanels[] = {
    {330, "Filename"}, {130, "Samplerate"}, {130, "Filesize"}, {184, "Angle offset"}};

} // namespace brev
