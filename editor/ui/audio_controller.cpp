// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/audio_controller.h"

#include "output/notify_thread.h"
#include "output/tds.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <thread>

namespace brev {

AudioController::AudioController(QObject* parent, AudioFeedback feedback)
    : QObject(parent), feedback_(std::move(feedback)) {}

AudioController::~AudioController() {
    endNotifyThread();
    engine_.reset();
}

void AudioController::setEngine(std::unique_ptr<TDS> engine) {
    engine_ = std::move(engine);
}

void AudioController::startNotifyThread() {
    std::uint32_t count = 0;
    const int* events = engine_->GetEvents(count);
    thread_ = std::make_unique<TNotifyThread>(
        events, count,
        [this](std::int32_t index) {
            // A hand-over still pending while the thread is being ended has nothing to do.
            if (!endingThread_)
                feedback_.slotStarted(index);
        },
        [this](const std::function<void()>& call) {
            QMetaObject::invokeMethod(
                this, [&call] { call(); }, Qt::BlockingQueuedConnection);
        },
        [this](const std::string& message) {
            QString reason = QString::fromStdString(message);
            reason.replace(u'\n', u' ');
            feedback_.showNote(QStringLiteral("Playback feedback stopped: ") + reason);
        });
}

void AudioController::endNotifyThread() {
    if (!thread_)
        return;
    endingThread_ = true;
    thread_->Terminate();
    // The thread may be waiting for the GUI thread to run a hand-over: keep serving those.
    while (!thread_->Finished()) {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    thread_->WaitFor();
    thread_.reset();
    endingThread_ = false;
}

void AudioController::startWatching() {
    // Often enough to say within a second that the device is gone.
    outputWatch_ = new QTimer(this);
    connect(outputWatch_, &QTimer::timeout, this, &AudioController::watchOutput);
    outputWatch_->start(250);
}

void AudioController::watchOutput() {
    if (!engine_)
        return;
    const std::string failure = engine_->OutputFailure();
    if (!failure.empty()) {
        engine_->ContinueSilently(failure);
        showOutputLoss(failure);
    }
    engine_->ReleaseIdleOutput();
    updateOutputLoss();
    feedback_.outputWatched();
}

void AudioController::showOutputLoss(const std::string& reason) {
    QString text = QString::fromStdString(reason);
    text.replace(u'\n', u' ');
    feedback_.showNote(QStringLiteral("Sound output lost, playing silently: ") + text);
    outputLossShown_ = true;
}

void AudioController::updateOutputLoss() {
    if (engine_->DeviceLost() && !outputLossShown_) {
        // The notice's first line says what the status bar says itself.
        const std::string& notice = engine_->OutputNotice();
        showOutputLoss(notice.substr(notice.find('\n') + 1));
    } else if (outputLossShown_ && !engine_->silent()) {
        outputLossShown_ = false;
        feedback_.refreshStatus(0);
    }
}

} // namespace brev
