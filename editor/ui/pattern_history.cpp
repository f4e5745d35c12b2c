// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/pattern_history.h"

#include <QApplication>
#include <QMouseEvent>
#include <QUndoCommand>
#include <QWidget>

namespace brev {

namespace {

class PatternCommand : public QUndoCommand {
public:
    PatternCommand(PatternUndo& steps, const PatternHistory::Restored& restored, UndoStep step)
        : steps_(steps), restored_(restored), step_(std::move(step)) {}

    void undo() override { restored_(steps_.undo(step_)); }
    // Also runs when the step is recorded: the values are in place then, and the slots it
    // altered are rendered.
    void redo() override { restored_(steps_.redo(step_)); }

private:
    PatternUndo& steps_;
    const PatternHistory::Restored& restored_;
    UndoStep step_;
};

} // namespace

PatternHistory::PatternHistory(QWidget& window, PatternModel& pattern, Restored restored)
    : QObject(&window), window_(window), steps_(pattern), restored_(std::move(restored)) {
    setObjectName(QStringLiteral("PatternHistory"));
    // No limit: a step holds only the values it changed.
    stack_.setUndoLimit(0);
    qApp->installEventFilter(this);
}

void PatternHistory::closeStep() {
    if (std::optional<UndoStep> step = steps_.closeStep())
        stack_.push(new PatternCommand(steps_, restored_, std::move(*step)));
}

void PatternHistory::undo() {
    if (!stepOpen())
        stack_.undo();
}

void PatternHistory::redo() {
    if (!stepOpen())
        stack_.redo();
}

bool PatternHistory::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!mouseGesture_ && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_) {
            mouseGesture_ = true;
            openStep();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (mouseGesture_ && static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
            mouseGesture_ = false;
            closeStep();
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace brev
