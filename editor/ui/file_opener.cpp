// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/file_opener.h"

#include "editor/ui/interface_form.h"

#include <QApplication>

namespace brev {

namespace {

// How often a file waits for the window to be free again: short enough to feel immediate once
// the user closes the dialog.
constexpr int kRetryMs = 200;

} // namespace

FileOpener::FileOpener(TInterfaceForm& form) : QObject(&form), form_(form) {
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &FileOpener::openWhenFree);
}

void FileOpener::open(const QString& path) {
    pending_ = path;
    openWhenFree();
}

void FileOpener::openWhenFree() {
    if (pending_.isEmpty())
        return;
    // A load from inside a dialog's own event loop would pull the loop from under it.
    if (QApplication::activeModalWidget() || form_.loading()) {
        retry_.start();
        return;
    }
    form_.raise();
    form_.activateWindow();
    form_.loadDroppedFile(std::exchange(pending_, QString()));
}

} // namespace brev
