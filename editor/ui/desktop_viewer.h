// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace brev {

// Hands a file to the desktop's default viewer for its type; the editor never waits for it.
class DesktopViewer {
public:
    virtual ~DesktopViewer() = default;
    // False when the desktop has no viewer for the file.
    virtual bool openFile(const QString& path) = 0;
};

// What became of showing one of several files: the files that exist, in order, were tried until
// one opened.
struct ViewAttempt {
    bool opened = false;
    QStringList tried;
};

// Shows the first of paths that exists and that the desktop has a viewer for.
ViewAttempt openFirstViewable(DesktopViewer& viewer, const QStringList& paths);

// The desktop's own viewer (QDesktopServices), after asking the desktop's MIME database
// (xdg-mime) whether any program is set up for the file's type.
DesktopViewer& systemDesktopViewer();

} // namespace brev
