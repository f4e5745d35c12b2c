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

    void open(const QString& path);

private:
    void openWhenFree();

    LoopReceiver& receiver_;
    QString pending_;
    QTimer retry_;
};

} // namespace brev
