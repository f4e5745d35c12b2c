// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace brev {

// A window that takes loops from outside: dropped on it, or handed to it by the desktop.
class LoopReceiver {
public:
    virtual ~LoopReceiver() = default;
    // The window the loops arrive at.
    virtual QWidget& receivingWindow() = 0;
    // True while a loop is being decoded: a new one waits until it is done.
    virtual bool loading() const = 0;
    // A file, as the load command loads a chosen one; wave data, as the paste command loads
    // the clipboard's.
    virtual void loadDroppedFile(const QString& path) = 0;
    virtual void loadDroppedData(const QByteArray& bytes) = 0;
};

} // namespace brev
