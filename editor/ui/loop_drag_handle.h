// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

namespace brev {

class SegmentStore;

// What a drag handle takes the loop from.
class DragSource {
public:
    virtual ~DragSource() = default;
    // The loop's file; empty for a loop that came without one.
    virtual QString currentFileName() const = 0;
    // Renders the pattern into the loop and returns its store; null while no loop is loaded.
    virtual const SegmentStore* renderedLoop() = 0;
    // Runs a command; an error it raises is shown.
    virtual void runCommand(const std::function<void()>& command) = 0;
};

// Makes a widget of the window (the sample-count status panel) a handle that drags the
// rendered loop out: a WAV file that only this user may read, written to privateCacheFolder()
// and offered as text/uri-list and as audio/wav, so a file manager or another audio program
// takes it. A handle given slotAt drags out the slot it names for the point pressed, as the
// kit's slot file, or the loop where it names none (-1).
class LoopDragHandle : public QObject {
public:
    using SlotAt = std::function<int(QPoint)>;

    LoopDragHandle(DragSource& source, QWidget* handle, SlotAt slotAt = {});
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The file a drag offers for a loop from that file; its folder is created when missing.
    // Raises Error when the folder is not this user's own.
    static QString dragFileName(const QString& currentFileName);

private:
    void startDrag(int slot);

    DragSource& source_;
    QWidget* handle_;
    SlotAt slotAt_;
    QPoint pressedAt_;
    bool pressed_ = false;
};

} // namespace brev
