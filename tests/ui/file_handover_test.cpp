// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/file_handover.h"
#include "editor/ui/file_opener.h"
#include "editor/ui/local_file_name.h"
#include "editor/ui/loop_receiver.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QScopedValueRollback>
#include <QWidget>
#include <atomic>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

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

HandOver handOverWhileServing(const QString& socketPath, const QString& path, int timeoutMs) {
    return whileServing<HandOver>([&] { return handFileOver(socketPath, path, timeoutMs); });
}

void serveUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(FileHandover, EachStartHandsOverOnePathAndAbusiveConnectionsAreDropped) {
    test::TempFolder folder;
    const QString socketPath = QString::fromStdString(folder.file("editor.socket"));
    // What a crashed editor left behind does not stop the next one.
    QFile leftOver(socketPath);
    ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();

    QStringList received;
    FileReceiver receiver(socketPath, [&](const QString& path) {
        received << path;
        return true;
    });
    ASSERT_TRUE(receiver.listening());
    EXPECT_EQ(QFile::permissions(socketPath) & 0x0077, 0) << "others may use the socket";

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

    // A name may hold anything but a zero byte: line feeds, other scripts, and bytes that are
    // not UTF-8 (a name from a Latin-1 system), which arrive as the same bytes.
    const QString odd = QString::fromStdString(folder.file("two\nlines \u00e9t\u00e9.wav"));
    const QString latin1 = fileNameText(folder.file("lat\xe9.wav"));
    const QStringList sent = {odd, latin1};
    for (const QString& path : sent)
        EXPECT_EQ(handOverWhileServing(socketPath, path, 5000), HandOver::Taken);
    EXPECT_EQ(received, sent);
    EXPECT_EQ(fileNameBytes(received.value(1)).toStdString(), folder.file("lat\xe9.wav"));

    EXPECT_EQ(handFileOver(QString::fromStdString(folder.file("nobody.socket")), odd, 1000),
              HandOver::Unanswered);
}

// Any bytes make a name that gives the same bytes back, and UTF-8 reads as UTF-8.
TEST(FileHandover, FileNamesKeepTheirBytes) {
    std::mt19937 random(27);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(static_cast<qsizetype>(random() % 12), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = static_cast<char>(random() % 2 ? 0x80 + random() % 0x80 : random() % 0x100);
        ASSERT_EQ(fileNameBytes(fileNameText(bytes)), bytes) << bytes.toHex().toStdString();
        const QString text = QString::fromUtf8(bytes);
        if (!text.contains(QChar::ReplacementCharacter)) {
            ASSERT_EQ(fileNameText(bytes), text) << bytes.toHex().toStdString();
        }
    }
}

// A window whose loads run an event loop of their own, as the editor's do.
class LoopingLoads : public LoopReceiver {
public:
    QWidget& receivingWindow() override { return window; }
    bool loading() const override { return loading_; }
    void loadDroppedFile(const QString& path) override {
        EXPECT_FALSE(insideSocketSignal) << "a load ran inside the socket's signal";
        loaded << path;
        const QScopedValueRollback<bool> busy(loading_, true);
        if (whileLoading)
            std::exchange(whileLoading, {})();
    }
    void loadDroppedData(const QByteArray&) override {}

    QWidget window;
    QStringList loaded;
    std::function<void()> whileLoading;
    bool insideSocketSignal = false;

private:
    bool loading_ = false;
};

// A file handed over while another loads waits for it, and the connection that brought the
// first one may go away under that load; once the window closes, files are refused.
TEST(FileHandover, FilesHandedOverDuringALoadFollowItAndAClosedWindowRefusesThem) {
    test::TempFolder folder;
    const QString socketPath = QString::fromStdString(folder.file("editor.socket"));
    LoopingLoads window;
    FileOpener opener(window);
    FileReceiver receiver(socketPath, [&](const QString& path) {
        const QScopedValueRollback<bool> inside(window.insideSocketSignal, true);
        return opener.take(path);
    });
    const QString first = QString::fromStdString(folder.file("slow.wav"));
    const QString second = QString::fromStdString(folder.file("next.wav"));
    window.whileLoading = [&] {
        EXPECT_EQ(handOverWhileServing(socketPath, second, 5000), HandOver::Taken);
    };
    EXPECT_EQ(handOverWhileServing(socketPath, first, 5000), HandOver::Taken);
    serveUntil([&] { return window.loaded.size() == 2; });
    EXPECT_EQ(window.loaded, QStringList({first, second}));

    window.window.show();
    window.window.close();
    EXPECT_EQ(handOverWhileServing(socketPath, first, 5000), HandOver::Refused);
}

// Idle connections past a handful push out the oldest instead of using up the descriptors,
// and when an accept fails all the same, the editor listens again once it can.
TEST(FileHandover, AFloodOfConnectionsNeverStopsTheEditorTakingFiles) {
    test::TempFolder folder;
    const QString socketPath = QString::fromStdString(folder.file("editor.socket"));
    FileReceiver receiver(socketPath, [](const QString&) { return true; });
    rlimit usual{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &usual), 0);
    const auto open = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    const rlimit tight{static_cast<rlim_t>(open + 64), usual.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<int> flood;
    const auto connectOne = [&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_un address{AF_UNIX, {}};
        socketPath.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
        (void)::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        flood.push_back(fd);
        return true;
    };
    for (int i = 0; i < 40; ++i)
        connectOne();
    EXPECT_EQ(handOverWhileServing(socketPath, "a.wav", 1000), HandOver::Taken);

    while (connectOne()) {
    }
    serveUntil([&] { return !receiver.listening(); });
    for (const int fd : flood)
        ::close(fd);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &usual), 0);
    serveUntil([&] { return handOverWhileServing(socketPath, "a.wav", 1000) == HandOver::Taken; });
    EXPECT_EQ(handOverWhileServing(socketPath, "a.wav", 1000), HandOver::Taken);
}

} // namespace
} // namespace brev

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
