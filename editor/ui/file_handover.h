// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace brev {

// The running editor's side of a later start with a file: a local socket in the user's private
// folder (mode 0600, in a folder of mode 0700), on which each connection sends one file path in
// UTF-8 ended by a zero byte (a name may hold line feeds) and is answered with one byte once the
// path is taken.
class FileReceiver : public QObject {
    Q_OBJECT

public:
    // Listens at socketPath, replacing what a crashed instance left there; only the holder of
    // the single-instance guard may call it.
    explicit FileReceiver(const QString& socketPath, QObject* parent = nullptr);
    bool listening() const;

signals:
    void fileReceived(const QString& path);

private:
    void accept();

    QLocalServer* server_;
};

// A later start's side: hands path to the editor listening at socketPath. False when none took
// it within timeoutMs.
bool handFileOver(const QString& socketPath, const QString& path, int timeoutMs);

} // namespace brev
