// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/drop_target.h"

#include "editor/ui/interface_form.h"
#include "editor/ui/wave_mime.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

namespace brev {

DropTarget::DropTarget(TInterfaceForm& form) : QObject(&form), form_(form) {
    form.setAcceptDrops(true);
    form.installEventFilter(this);
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &form_)
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
        QTimer::singleShot(0, &form_, [this, file, data] {
            if (file.isEmpty())
                form_.loadDroppedData(data);
            else
                form_.loadDroppedFile(file);
        });
        return true;
    }
    default:
        return false;
    }
}

} // namespace brev
