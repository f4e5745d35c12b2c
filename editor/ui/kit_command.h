// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace brev {

class EditorContext;
class WaveformStrip;

// The kit export of the window: the "Export kit" button beside the waveform strip and Ctrl+E
// write the rendered pattern as a kit into a chosen folder, remembered in the settings; the
// LEDs and the strip's slot regions drag a slot's file out.
class KitCommand : public QObject {
    Q_OBJECT

public:
    // The button and the drag handles go on the window; strip is its waveform strip.
    KitCommand(EditorContext& form, WaveformStrip& strip);

public slots:
    void ExportKitButtonClick();

private:
    EditorContext& form_;
};

} // namespace brev
