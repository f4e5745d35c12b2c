// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/file_opener.h"

#include "editor/ui/loop_receiver.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace brev {

namespace {

// How often a file waits for the window to be free again: short enough to feel immediate once
// the user closes the dialog.
constexpr int kRetryMs = 200;

} // namespace

FileOpener::FileOpener(LoopReceiver& receiver)
    : QObject(&receiver.receivingWindow()), receiver_(receiver) {
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &FileOpener::openWhenFree);
    receiver.receivingWindow().installEventFilter(this);
}

bool FileOpener::eventFilter(QObject* watched, QEvent* event) {
    // The window never refuses to close: from here on the editor is ending.
    if (event->type() == QEvent::Close && watched == &receiver_.receivingWindow())
        closing_ = true;
    return false;
}

void FileOpener::open(const QString& path) {
    pending_ = path;
    openWhenFree();
}

bool FileOpener::take(const QString& path) {
    if (closing_)
        return false;
    pending_ = path;
    QMetaObject::invokeMethod(this, &FileOpener::openWhenFree, Qt::QueuedConnection);
    return true;
}

void FileOpener::openWhenFree() {
    if (pending_.isEmpty() || closing_)
        return;
    // A load from inside a dialog's own event loop would pull the loop from under it.
    if (QApplication::activeModalWidget() || receiver_.loading()) {
        retry_.start();
        return;
    }
    receiver_.receivingWindow().raise();
    receiver_.receivingWindow().activateWindow();
    receiver_.loadDroppedFile(std::exchange(pending_, QString()));
}

} // namespace brev
