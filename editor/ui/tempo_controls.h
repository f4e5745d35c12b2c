// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loop_tempo.h"

#include <QWidget>
#include <functional>

class QLabel;
class QSpinBox;

namespace brev {

class EditorSettings;
class LoopDocument;
class TempoSpinBox;

// The document's target tempo (BPM, two decimals, or "Own": the loop's own tempo) beside the
// loop's own tempo as the tempo table gives it, and the pitch shift in semitones. Both are kept
// in the settings ("Target tempo" in hundredths of a BPM, 0 for own; "Pitch"). A change sets
// the document's target and asks the window to stretch the loaded loop again.
class TempoControls : public QWidget {
public:
    // retune stretches the loaded loop to the new target and pitch.
    TempoControls(QWidget& window, EditorSettings& settings, LoopDocument& document,
                  std::function<void()> retune);

    // Makes stretch the target, shown and kept, without asking for a new stretch.
    void show(const LoopStretch& stretch);
    // Reads the stored target and pitch into the document.
    void restore();
    // The loaded loop's own tempo; 0: nothing loaded.
    void showOwnTempo(double bpm);

private:
    void changed();
    void display(const LoopStretch& stretch);
    void store();

    EditorSettings& settings_;
    LoopDocument& document_;
    std::function<void()> retune_;
    TempoSpinBox* tempo_;
    QLabel* own_;
    QSpinBox* pitch_;
    bool showing_ = false;
};

} // namespace brev
