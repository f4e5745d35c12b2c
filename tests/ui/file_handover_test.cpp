// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/file_handover.h"
#include "tests/support/temp_folder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace brev {
namespace {

// Runs a later start's side on a thread of its own while this one serves the editor's side.
template <class Result> Result whileServing(const std::function<Result()>& client) {
    std::atomic<bool> done = false;
    Result result{};
    std::thread thread([&] {
        result = client();
        done = true;
    });
    const QDeadlineTimer deadline(20000);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    thread.join();
    return result;
}

TEST(FileHandover, EachStartHandsOverOnePathAndAbusiveConnectionsAreDropped) {
    test::TempFolder folder;
    const QString socketPath = QString::fromStdString(folder.file("editor.socket"));
    // What a crashed editor left behind does not stop the next one.
    QFile leftOver(socketPath);
    ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();

    FileReceiver receiver(socketPath);
    ASSERT_TRUE(receiver.listening());
    EXPECT_EQ(QFile::permissions(socketPath) & 0x0077, 0) << "others may use the socket";
    QStringList received;
    // A load runs an event loop of its own, in which the finished connection may be deleted: a
    // file arrives only once the socket's signal is over, so nothing touches the socket after it.
    // These run after the receiver's own handlers, connected before them.
    bool signalOver = false;
    QObject::connect(receiver.findChild<QLocalServer*>(), &QLocalServer::newConnection, [&] {
        signalOver = false;
        for (QLocalSocket* socket : receiver.findChildren<QLocalSocket*>())
            QObject::connect(socket, &QLocalSocket::readyRead, [&] { signalOver = true; });
    });
    QObject::connect(&receiver, &FileReceiver::fileReceived, [&](const QString& path) {
        EXPECT_TRUE(signalOver) << "the file came inside the socket's signal";
        received << path;
    });

    // Endless bytes without an end mark: the editor hangs up as soon as they pass any path's
    // length, long before it would hang up on an idle connection.
    const bool droppedFlood = whileServing<bool>([&] {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (!socket.waitForConnected(5000))
            return false;
        const QByteArray chunk(16 * 1024, 'a');
        for (int i = 0; i < 64 && socket.state() == QLocalSocket::ConnectedState; ++i) {
            socket.write(chunk);
            socket.waitForBytesWritten(1000);
        }
        return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(2000);
    });
    EXPECT_TRUE(droppedFlood);

    // A name may hold anything but a zero byte, line feeds and other scripts included.
    const QString odd = QString::fromStdString(folder.file("two\nlines \u00e9t\u00e9.wav"));
    EXPECT_TRUE(whileServing<bool>([&] { return handFileOver(socketPath, odd, 5000); }));
    const QString plain = QString::fromStdString(folder.file("loop.flac"));
    EXPECT_TRUE(whileServing<bool>([&] { return handFileOver(socketPath, plain, 5000); }));
    const QDeadlineTimer deadline(5000);
    while (received.size() < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(received, QStringList({odd, plain}));

    EXPECT_FALSE(handFileOver(QString::fromStdString(folder.file("nobody.socket")), plain, 1000));
}

} // namespace
} // namespace brev

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
