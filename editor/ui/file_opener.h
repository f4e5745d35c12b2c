// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace brev {

class LoopReceiver;

// Loads a file that comes from outside the window (the command line, a later start) as the
// Load command does, once the window is free for it: not while a dialog of the editor is open or a
// load is under way. Of files that arrive meanwhile the last one wins.
class FileOpener : public QObject {
    Q_OBJECT

public:
    explicit FileOpener(LoopReceiver& receiver);

    // Loads path now if the window is free.
    void open(const QString& path);
    // Queues path to be loaded from the event loop, never from inside the caller; false once
    // the window is closing, when it would never be loaded.
    bool take(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openWhenFree();

    LoopReceiver& receiver_;
    QString pending_;
    QTimer retry_;
    bool closing_ = false;
};

} // namespace brev
