// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/pattern_history.h"

#include "editor/core/pattern_model.h"

#include <QApplication>
#include <QMouseEvent>
#include <QUndoCommand>
#include <QWidget>

namespace brev {

namespace {

class PatternStep : public QUndoCommand {
public:
    PatternStep(PatternHistory& history, std::vector<ValueChange> changes)
        : history_(history), changes_(std::move(changes)) {}

    void undo() override { history_.restore(changes_, false); }
    // Also runs when the step is recorded: the values are in place then, and the slots it
    // altered are rendered.
    void redo() override { history_.restore(changes_, true); }

private:
    PatternHistory& history_;
    std::vector<ValueChange> changes_;
};

} // namespace

PatternHistory::PatternHistory(QWidget& window, PatternModel& pattern, Restored restored)
    : QObject(&window), window_(window), pattern_(pattern), restored_(std::move(restored)) {
    setObjectName(QStringLiteral("PatternHistory"));
    // No limit: a step holds only the values it changed.
    stack_.setUndoLimit(0);
    qApp->installEventFilter(this);
}

void PatternHistory::openStep() {
    if (openSteps_++ == 0)
        opened_ = readPatternValues(pattern_);
}

void PatternHistory::closeStep() {
    if (openSteps_ == 0 || --openSteps_ > 0)
        return;
    std::vector<ValueChange> changes = valueChanges(opened_, readPatternValues(pattern_));
    if (!changes.empty())
        stack_.push(new PatternStep(*this, std::move(changes)));
}

void PatternHistory::undo() {
    if (!stepOpen())
        stack_.undo();
}

void PatternHistory::redo() {
    if (!stepOpen())
        stack_.redo();
}

void PatternHistory::restore(std::span<const ValueChange> changes, bool after) {
    for (const ValueChange& change : changes)
        pattern_.restoreValue(change.control, after ? change.after : change.before);
    restored_(slotsSoundingDifferently(changes));
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
