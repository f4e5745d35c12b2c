// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/background_load.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

namespace brev {

namespace {

constexpr int kQuietMilliseconds = 500;
constexpr int kSteps = 1000;

// What the loading thread and the GUI thread share. The thread writes result and failure
// before it sets finished (release); the GUI thread reads them only after it has seen
// finished (acquire).
struct LoadState {
    std::atomic<int> step{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    std::optional<LoadedAudio> result;
    std::exception_ptr failure;
};

// Runs the event loop until the load has finished; false when the application quits first.
bool waitFor(const LoadState& state, QEventLoop& loop, QEventLoop::ProcessEventsFlags flags) {
    while (!state.finished.load(std::memory_order_acquire)) {
        // A quitting application makes every event loop return at once with -1.
        if (loop.exec(flags) == -1)
            return false;
    }
    return true;
}

} // namespace

std::optional<LoadedAudio> loadInBackground(QWidget* window, const QString& what,
                                            const AudioLoad& load) {
    LoadState state;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            state.result = load([&state](double done) {
                state.step.store(static_cast<int>(done * kSteps), std::memory_order_relaxed);
                return !state.cancelled.load(std::memory_order_relaxed);
            });
        } catch (const DecodeCancelled&) {
        } catch (...) {
            state.failure = std::current_exception();
        }
        state.finished.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    // Repaints go on; clicks and keys wait until the load is done or the dialog is up.
    QTimer quiet;
    quiet.setSingleShot(true);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    quiet.start(kQuietMilliseconds);
    bool running = loop.exec(QEventLoop::ExcludeUserInputEvents) != -1;
    quiet.stop();

    if (running && !state.finished.load(std::memory_order_acquire)) {
        QProgressDialog progress(QStringLiteral("Loading %1 …").arg(what), QStringLiteral("Cancel"),
                                 0, kSteps, window);
        progress.setObjectName(QStringLiteral("LoadProgress"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.setAutoReset(false);
        progress.setAutoClose(false);
        QObject::connect(&progress, &QProgressDialog::canceled,
                         [&state] { state.cancelled.store(true, std::memory_order_relaxed); });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &progress,
                         [&] { progress.setValue(state.step.load(std::memory_order_relaxed)); });
        poll.start(50);
        progress.show();
        running = waitFor(state, loop, QEventLoop::AllEvents);
    }
    if (!running)
        state.cancelled.store(true, std::memory_order_relaxed);
    worker.join();
    // A load that finished after all once cancelled is dropped: the user was told it stopped.
    if (state.cancelled.load(std::memory_order_relaxed))
        return std::nullopt;
    if (state.failure)
        std::rethrow_exception(state.failure);
    return std::move(state.result);
}

} // namespace brev
