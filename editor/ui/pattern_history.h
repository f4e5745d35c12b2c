// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_values.h"

#include <QObject>
#include <QUndoStack>
#include <bitset>
#include <functional>

class QWidget;

namespace brev {

class PatternModel;

// The pattern's undo history. A step records every value that changed between its opening and
// its closing, smart fades included; steps nest and only the outermost one records. The window
// opens one for each mouse gesture in it (first press to last release) and one around each
// control's handler, so a whole drag, a whole sweep, a button's operation or a pattern load
// undoes at once. Undo and redo write the values back without running change handlers and
// re-render the slots that sound different; playback hears them as it hears any edit.
class PatternHistory : public QObject {
    Q_OBJECT

public:
    // Runs after values were written back, with the slots that now sound different.
    using Restored = std::function<void(const std::bitset<kSlotCount>& altered)>;

    // Records the pattern model; mouse gestures in window open and close steps.
    PatternHistory(QWidget& window, PatternModel& pattern, Restored restored);

    QUndoStack& stack() { return stack_; }
    bool stepOpen() const { return openSteps_ > 0; }

    // Writes one side of a recorded step into the model and re-renders what it alters.
    void restore(std::span<const ValueChange> changes, bool after);

    // Follows the mouse in the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void openStep();
    void closeStep();
    // Nothing happens while a step is open: its changes are not recorded yet.
    void undo();
    void redo();

private:
    QWidget& window_;
    PatternModel& pattern_;
    Restored restored_;
    QUndoStack stack_;
    int openSteps_ = 0;
    bool mouseGesture_ = false;
    PatternValues opened_;
};

} // namespace brev
