// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace brev {

// Queues a file handed over for loading; false when the editor takes no more (it is closing).
// It must not load the file itself: it runs inside the socket's signal.
using FileTaker = std::function<bool(const QString& path)>;

// The running editor's side of a later start with a file: a local socket in the user's private
// folder, for this user alone, on which each connection sends one file path (the file system's
// bytes, ended by a zero byte: a name may hold line feeds) and is answered with one byte, which
// says whether the file was taken.
class FileReceiver : public QObject {
    Q_OBJECT

public:
    // Listens at socketPath, replacing what a crashed instance left there; only the holder of
    // the single-instance guard may call it.
    FileReceiver(const QString& socketPath, FileTaker take, QObject* parent = nullptr);
    bool listening() const;

private:
    void listen();
    void accept();
    void receive(QLocalSocket* socket);

    QString socketPath_;
    FileTaker take_;
    QLocalServer* server_;
    // Oldest first: a flood of connections pushes out the oldest, so they never use up the
    // process's descriptors.
    QList<QLocalSocket*> connections_;
    QTimer listenAgain_;
};

enum class HandOver {
    Taken,
    Refused, // the running editor is closing
    Unanswered,
};

// A later start's side: hands path to the editor listening at socketPath within timeoutMs.
HandOver handFileOver(const QString& socketPath, const QString& path, int timeoutMs);

} // namespace brev
