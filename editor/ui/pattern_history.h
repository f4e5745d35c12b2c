// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_undo.h"

#include <QObject>
#include <QUndoStack>
#include <bitset>
#include <functional>

class QWidget;

namespace brev {

// The window's undo: the pattern's steps (PatternUndo) on a QUndoStack, one command each. The
// window opens a step for each mouse gesture in it (first press to last release) and one around
// each control's handler, so a whole drag, a whole sweep, a button's operation or a pattern load
// undoes at once. Undo and redo re-render the slots that sound different; playback hears them as
// it hears any edit.
class PatternHistory : public QObject {
    Q_OBJECT

public:
    // Runs after values were written back, with the slots that now sound different.
    using Restored = std::function<void(const std::bitset<kSlotCount>& altered)>;

    // Records the pattern model; mouse gestures in window open and close steps.
    PatternHistory(QWidget& window, PatternModel& pattern, Restored restored);

    QUndoStack& stack() { return stack_; }
    bool stepOpen() const { return steps_.stepOpen(); }
    // Called by a sounding toggle's click handler: its step undoes the switch too.
    void toggled(std::string_view toggle) { steps_.toggledBeforeStep(toggle); }

    // Follows the mouse in the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void openStep() { steps_.openStep(); }
    void closeStep();
    // Nothing happens while a step is open: its changes are not recorded yet.
    void undo();
    void redo();

private:
    QWidget& window_;
    PatternUndo steps_;
    Restored restored_;
    QUndoStack stack_;
    bool mouseGesture_ = false;
};

} // namespace brev
