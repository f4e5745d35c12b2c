// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/file_handover.h"

#include "editor/ui/local_file_name.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace brev {

namespace {

// A path longer than this is no path: the connection is dropped before it can use more memory.
constexpr qint64 kMaxMessage = qint64{64} * 1024;
// A connection that sends nothing useful is dropped after this long.
constexpr int kConnectionTimeoutMs = 5000;
// Later starts each send their path at once; more waiting than this is a flood.
constexpr qsizetype kMaxConnections = 16;
// The local server stops for good when an accept fails (no descriptor left); it is started
// again this often.
constexpr int kListenAgainMs = 500;
constexpr char kTaken = '1';
constexpr char kRefused = '0';

} // namespace

FileReceiver::FileReceiver(const QString& socketPath, FileTaker take, QObject* parent)
    : QObject(parent), socketPath_(socketPath), take_(std::move(take)),
      server_(new QLocalServer(this)) {
    // Created for this user alone, never open to others for a moment.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &FileReceiver::accept);
    listen();
    listenAgain_.setInterval(kListenAgainMs);
    connect(&listenAgain_, &QTimer::timeout, this, [this] {
        if (!server_->isListening())
            listen();
    });
    listenAgain_.start();
}

bool FileReceiver::listening() const {
    return server_->isListening();
}

void FileReceiver::listen() {
    QLocalServer::removeServer(socketPath_);
    server_->listen(socketPath_);
}

void FileReceiver::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (connections_.size() >= kMaxConnections)
            connections_.takeFirst()->abort();
        connections_.append(socket);
        socket->setReadBufferSize(kMaxMessage + 1);
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            connections_.removeOne(socket);
            socket->deleteLater();
        });
        QTimer::singleShot(kConnectionTimeoutMs, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
    }
}

void FileReceiver::receive(QLocalSocket* socket) {
    // Read no further than a path may go; what is left unread ends the connection.
    const QByteArray buffered = socket->peek(kMaxMessage + 1);
    const qsizetype end = buffered.indexOf('\0');
    if (end < 0) {
        if (buffered.size() > kMaxMessage)
            socket->abort();
        return;
    }
    socket->skip(end + 1);
    const QString path = fileNameText(QByteArrayView(buffered).first(end));
    const bool taken = !path.isEmpty() && take_(path);
    socket->write(taken ? &kTaken : &kRefused, 1);
    socket->disconnectFromServer();
}

HandOver handFileOver(const QString& socketPath, const QString& path, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    // Never more than timeoutMs, an int.
    const auto remainingMs = [&deadline] { return static_cast<int>(deadline.remainingTime()); };
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(remainingMs()))
        return HandOver::Unanswered;
    socket.write(fileNameBytes(path).append('\0'));
    char answer = 0;
    if (!socket.waitForBytesWritten(remainingMs()) || !socket.waitForReadyRead(remainingMs()) ||
        !socket.getChar(&answer))
        return HandOver::Unanswered;
    return answer == kTaken ? HandOver::Taken : HandOver::Refused;
}

} // namespace brev
