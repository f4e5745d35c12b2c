// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/desktop_viewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace brev {

namespace {

// Opening a file the desktop has no program for still "succeeds": the opener only complains on
// its own stderr. Without xdg-mime there is nothing to ask, and the opener decides.
bool desktopHasViewerFor(const QString& path) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                          QMimeDatabase().mimeTypeForFile(path).name()});
    if (!query.waitForFinished(3000))
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

class SystemDesktopViewer : public DesktopViewer {
public:
    bool openFile(const QString& path) override {
        return desktopHasViewerFor(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

} // namespace

ViewAttempt openFirstViewable(DesktopViewer& viewer, const QStringList& paths) {
    ViewAttempt attempt;
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path))
            continue;
        attempt.tried << path;
        if (viewer.openFile(path)) {
            attempt.opened = true;
            break;
        }
    }
    return attempt;
}

DesktopViewer& systemDesktopViewer() {
    static SystemDesktopViewer viewer;
    return viewer;
}

} // namespace brev
