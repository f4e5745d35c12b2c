// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/interrupt_cleanup.h"
#include "editor/ui/editor_arguments.h"
#include "editor/ui/file_handover.h"
#include "editor/ui/file_opener.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/local_file_name.h"
#include "editor/ui/single_instance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    (void)!::write(signalPipe[0], &byte, 1);
}

// SIGTERM and SIGINT close the window as its close button does, on the GUI thread.
void closeOnSignals(QWidget& window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        (void)!::read(signalPipe[1], &byte, 1);
        window.close();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// How long a later start with a file waits for the running editor to take it: long enough for
// an editor that is still starting.
constexpr int kHandOverMs = 10000;
constexpr int kHandOverRetryMs = 100;

// A later start hands its file to the running editor. The running one may be starting (not
// listening yet) or ending (it refuses files, and the guard comes free): then this start becomes
// the editor.
std::optional<int> handOverOrTakeGuard(brev::SingleInstance& guard, const QString& file) {
    const QDeadlineTimer deadline(kHandOverMs);
    brev::HandOver answer = brev::HandOver::Unanswered;
    while (!guard.tryAcquire()) {
        answer = brev::handFileOver(guard.socketPath(), file, kHandOverRetryMs);
        if (answer == brev::HandOver::Taken)
            return 0;
        if (deadline.hasExpired()) {
            const char* why = answer == brev::HandOver::Refused ? "is closing and " : "";
            std::fprintf(stderr, "The running BREV Editor %sdid not take %s\n", why,
                         brev::fileNameBytes(file).constData());
            return 1;
        }
        QThread::msleep(kHandOverRetryMs);
    }
    return std::nullopt;
}

// The arguments as the file system's bytes: a file's name need not be UTF-8.
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << brev::fileNameText(argv[i]);
    return arguments;
}

// Everything before the display is touched: --help, --version, and a second instance, which ends
// without a trace or hands its file over. Returns the exit status when the program ends here.
std::optional<int> startWithoutDisplay(int argc, char** argv, brev::SingleInstance& guard,
                                       QString& file) {
    const QCoreApplication core(argc, argv);
    const brev::EditorArguments arguments = brev::parseEditorArguments(argumentsOf(argc, argv));
    if (arguments.exitStatus)
        return arguments.exitStatus;
    file = arguments.file;
    if (guard.acquired())
        return std::nullopt;
    if (file.isEmpty())
        return 0;
    return handOverOrTakeGuard(guard, file);
}

} // namespace

int main(int argc, char** argv) {
    brev::SingleInstance guard;
    QString file;
    if (const std::optional<int> status = startWithoutDisplay(argc, argv, guard, file))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("BREV Editor"));
    try {
        brev::TInterfaceForm form;
        form.start();
        // Signals that end the editor while it saves leave no temporary; SIGTERM and SIGINT
        // close the window instead.
        brev::removeRecordedFilesOnInterrupt();
        closeOnSignals(form);
        // Files handed over while the first one still loads wait their turn.
        auto* opener = new brev::FileOpener(form);
        if (!guard.socketPath().isEmpty()) {
            new brev::FileReceiver(
                guard.socketPath(), [opener](const QString& path) { return opener->take(path); },
                &form);
        }
        // The window appears with the file loaded, or after the load's message.
        if (!file.isEmpty())
            opener->open(file);
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromLocal8Bit(e.what()));
    }
    return 0;
}
