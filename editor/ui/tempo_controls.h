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
class TempoSpinBox;

// The target tempo (BPM, two decimals, or "Own": the loop's own tempo) beside the loop's own
// tempo as the tempo table gives it, and the pitch shift in semitones. Both are kept in the
// settings ("Target tempo" in hundredths of a BPM, 0 for own; "Pitch") and stay from one loop
// to the next: they are the song's tempo and key, which the next break is to fit as well. A
// change asks the window to stretch the loaded loop again.
class TempoControls : public QWidget {
public:
    // retune stretches the loaded loop to the new target and pitch.
    TempoControls(QWidget& window, EditorSettings& settings, std::function<void()> retune);

    LoopStretch stretch() const;
    // Shows and keeps stretch without asking for a new stretch.
    void show(const LoopStretch& stretch);
    // What is set, for the status bar: "at 140.00 BPM, +3 st (own 120.00)"; empty when neither
    // a target nor a pitch is.
    QString summary() const;
    // Reads the stored target and pitch.
    void restore();
    // The loaded loop's own tempo; 0: nothing loaded.
    void showOwnTempo(double bpm);

private:
    void changed();
    void display(const LoopStretch& stretch);
    void store();

    EditorSettings& settings_;
    std::function<void()> retune_;
    TempoSpinBox* tempo_;
    QLabel* own_;
    QSpinBox* pitch_;
    bool showing_ = false;
};

} // namespace brev
