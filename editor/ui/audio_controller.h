// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace brev {

class TDS;
class TNotifyThread;

// What the audio controller tells the window; every call comes on the GUI thread.
struct AudioFeedback {
    std::function<void(int index)> slotStarted;        // playback reached a slot's start
    std::function<void(const QString& text)> showNote; // a text for the status bar's first panel
    std::function<void(int panel)> refreshStatus;      // a panel back to its normal text
    std::function<void()> outputWatched;               // after each look at the output
};

// The engine, the notification thread that follows its slot starts, and the watch over its
// output device: a lost device is said and playback goes on silently.
class AudioController : public QObject {
    Q_OBJECT

public:
    AudioController(QObject* parent, AudioFeedback feedback);
    // Ends the notification thread and deletes the engine.
    ~AudioController() override;

    TDS* engine() const { return engine_.get(); }
    // Replaces the engine; the notification thread of the old one must have ended.
    void setEngine(std::unique_ptr<TDS> engine);
    TNotifyThread* notifyThread() const { return thread_.get(); }

    void startNotifyThread();
    // Waits for the thread, serving the hand-overs it may be waiting for meanwhile.
    void endNotifyThread();

    // Looks at the output four times a second from now on.
    void startWatching();
    // "Sound output lost …" while the device is lost, the normal text again once it plays.
    void updateOutputLoss();

private:
    void watchOutput();
    void showOutputLoss(const std::string& reason);

    AudioFeedback feedback_;
    std::unique_ptr<TDS> engine_;
    std::unique_ptr<TNotifyThread> thread_;
    bool endingThread_ = false;
    QTimer* outputWatch_ = nullptr;
    bool outputLossShown_ = false;
};

} // namespace brev
