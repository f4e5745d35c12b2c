// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace brev {

class LoopReceiver;

// Makes the window take audio dropped on it: an audio file from a file manager
// (text/uri-list) loads as the load command loads a chosen file, wave data (audio/wav) as the
// paste command loads the clipboard's.
class DropTarget : public QObject {
public:
    explicit DropTarget(LoopReceiver& receiver);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LoopReceiver& receiver_;
    QWidget& window_;
};

} // namespace brev
