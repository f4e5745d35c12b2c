// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/drop_target.h"

#include "editor/ui/loop_receiver.h"
#include "editor/ui/wave_mime.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace brev {

DropTarget::DropTarget(LoopReceiver& receiver)
    : QObject(&receiver.receivingWindow()), receiver_(receiver),
      window_(receiver.receivingWindow()) {
    window_.setAcceptDrops(true);
    window_.installEventFilter(this);
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const QMimeData* mime = drag->mimeData();
        if (mime && (!audioFileOf(*mime).isEmpty() || hasWaveData(*mime)))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QMimeData* mime = drop->mimeData();
        if (!mime)
            return true;
        const QString file = audioFileOf(*mime);
        const QByteArray data = file.isEmpty() ? waveDataOf(*mime) : QByteArray();
        if (file.isEmpty() && data.isEmpty())
            return true;
        drop->acceptProposedAction();
        // The source waits for the drop to be answered: load once it has been.
        QTimer::singleShot(0, &window_, [this, file, data] {
            if (file.isEmpty())
                receiver_.loadDroppedData(data);
            else
                receiver_.loadDroppedFile(file);
        });
        return true;
    }
    default:
        return false;
    }
}

} // namespace brev
