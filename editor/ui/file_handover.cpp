// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/file_handover.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

namespace brev {

namespace {

// A path longer than this is no path: the connection is dropped before it can use more memory.
constexpr qint64 kMaxMessage = qint64{64} * 1024;
// A connection that sends nothing useful is dropped after this long.
constexpr int kConnectionTimeoutMs = 5000;
constexpr char kTaken = '1';

} // namespace

FileReceiver::FileReceiver(const QString& socketPath, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    QLocalServer::removeServer(socketPath);
    if (!server_->listen(socketPath))
        return;
    QFile::setPermissions(socketPath, QFile::ReadOwner | QFile::WriteOwner);
    connect(server_, &QLocalServer::newConnection, this, &FileReceiver::accept);
}

bool FileReceiver::listening() const {
    return server_->isListening();
}

void FileReceiver::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kConnectionTimeoutMs, socket, &QLocalSocket::abort);
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            const qsizetype end = received->indexOf('\0');
            if (end < 0) {
                if (received->size() > kMaxMessage)
                    socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(received->left(end));
            received->clear();
            socket->write(&kTaken, 1);
            socket->disconnectFromServer();
            // Not from inside the socket's signal: a load runs an event loop of its own, which
            // may delete the socket under this handler.
            if (!path.isEmpty())
                QMetaObject::invokeMethod(
                    this, [this, path] { emit fileReceived(path); }, Qt::QueuedConnection);
        });
    }
}

bool handFileOver(const QString& socketPath, const QString& path, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    // Never more than timeoutMs, an int.
    const auto remainingMs = [&deadline] { return static_cast<int>(deadline.remainingTime()); };
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(remainingMs()))
        return false;
    socket.write(path.toUtf8().append('\0'));
    char answer = 0;
    return socket.waitForBytesWritten(remainingMs()) && socket.waitForReadyRead(remainingMs()) &&
           socket.getChar(&answer) && answer == kTaken;
}

} // namespace brev
