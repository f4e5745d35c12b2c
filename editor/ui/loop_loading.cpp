// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The window bringing in a new loop: from a file, the clipboard, a drop, a revert or a new tempo,
// decoded and stretched off the GUI thread.
#include "audio/audio_import.h"
#include "audio/clipboard_port.h"
#include "audio/loop_stretcher.h"
#include "editor/ui/audio_controller.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/local_file_name.h"
#include "editor/ui/tempo_controls.h"
#include "editor/ui/wave_dialogs.h"
#include "editor/ui/waveform_strip.h"
#include "output/tds.h"

#include <QApplication>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>

namespace brev {

namespace {

const QString kUnableToLoad = QStringLiteral("Sorry, but I was unable to load ");

} // namespace

// --- replacing the audio ---------------------------------------------------------------------

void TInterfaceForm::replaceAudio(const std::function<void()>& load) {
    audio_->endNotifyThread();
    try {
        load();
    } catch (...) {
        // A refused load leaves the engine's previous loop in place: keep following it.
        if (engine().IsLoaded())
            audio_->startNotifyThread();
        throw;
    }
    widgets_.waveform->showLoop(engine().Store());
    audio_->startNotifyThread();
}

// Decodes off the GUI thread, then hands the loop to the engine as replaceAudio does; loaded
// runs once the engine has it. False when the user cancelled or another load is under way.
bool TInterfaceForm::replaceAudioInBackground(const QString& what, const AudioLoad& load,
                                              const std::function<void()>& loaded) {
    if (loading_)
        return false;
    const LoopStretch stretch = tempo_->stretch();
    BrevWave::TWave unstretched;
    std::string stretchProblem;
    std::optional<LoadedAudio> audio;
    {
        const QScopedValueRollback<bool> busy(loading_, true);
        audio = loadInBackground(this, what, [&](const DecodeProgress& progress) {
            StretchedAudio stretched = stretchLoaded(load(progress), stretch, progress);
            unstretched = std::move(stretched.unstretched);
            // A target the loop cannot reach: it plays at its own tempo, and is told so.
            stretchProblem = std::move(stretched.problem);
            return std::move(stretched.audio);
        });
    }
    if (!audio)
        return false;
    replaceAudio([&] {
        engine().LoadSourceWave(std::move(audio->wave), pattern_.NumberValue(kSwingNumber));
        if (loaded)
            loaded();
    });
    // Kept only when stretched: otherwise the engine's own loop is the loop as loaded.
    unstretched_ = std::move(unstretched);
    stretched_ = stretchProblem.empty() ? stretch : LoopStretch{};
    tempo_->showOwnTempo(loopTempo(unstretched_.GetSamples() > 0
                                       ? unstretched_.GetSamples()
                                       : engine().Store().SourceSamples()));
    sourceFormat_ = QString::fromStdString(audio->convertedFrom);
    if (!stretchProblem.empty())
        dialogs_->message(QString::fromStdString(stretchProblem));
    return true;
}

void TInterfaceForm::retune() {
    if (!started() || !engine().IsLoaded() || loading_)
        return;
    const LoopStretch wanted = tempo_->stretch();
    if (engine().IsPlaying()) {
        // The loop plays on while the new one is made, which takes over at the start of a bar.
        if (wanted == engine().PendingRetune().value_or(stretched_))
            return;
        if (wanted == stretched_)
            engine().CancelRetune();
        else
            engine().RetuneLoop(std::make_shared<const BrevWave::TWave>(loopAsLoaded()), wanted);
        return;
    }
    // Stopped before a retune took over: it is made here, at once.
    engine().CancelRetune();
    if (std::optional<TDS::Retune> retuned = engine().TakeRetune())
        retuneTookOver(*retuned);
    if (wanted == stretched_)
        return;
    replaceLoop([&] {
        const BrevWave::TWave& loop = loopAsLoaded();
        const std::string format = sourceFormat_.toStdString();
        // Cancelled, the loop plays on as it was, and the controls say so.
        if (!replaceAudioInBackground(QStringLiteral("the loop at its new tempo"),
                                      [&](const DecodeProgress&) {
                                          return LoadedAudio{loop, format};
                                      }))
            tempo_->show(stretched_);
    });
}

void TInterfaceForm::retuneTookOver(const TDS::Retune& retuned) {
    stretched_ = retuned.stretch;
    // Kept only when stretched, as a load keeps it.
    unstretched_ =
        retuned.problem.empty() && changesLoop(retuned.asLoaded->GetSamples(), retuned.stretch)
            ? *retuned.asLoaded
            : BrevWave::TWave();
    widgets_.waveform->showLoop(engine().Store());
    UpdateStatusBar(-1);
    if (!retuned.problem.empty()) {
        // Not from inside the slot's hand-over, which the notification thread waits for.
        QTimer::singleShot(0, this, [this, problem = QString::fromStdString(retuned.problem)] {
            dialogs_->message(problem);
        });
    }
}

void TInterfaceForm::retuneWhenStopped() {
    if (started() && !loading_ && !QApplication::activeModalWidget() && !engine().IsPlaying() &&
        engine().PendingRetune())
        retune();
}

const BrevWave::TWave& TInterfaceForm::loopAsLoaded() const {
    return unstretched_.GetSamples() > 0 ? unstretched_ : audio_->engine()->LoadedSource();
}

void TInterfaceForm::loadWaveFile(const QString& path) {
    rememberWaveFolder(settings_, path);
    try {
        const std::string file = localPath(path);
        replaceAudioInBackground(
            QFileInfo(path).fileName(),
            [&](const DecodeProgress& progress) { return loadAudioFile(file, progress); },
            [&] {
                // Named once it is the loop: a refused or cancelled file leaves the previous name.
                currentFileName_ = path;
                findComponent(u"RevertButton")->setToolTip(QStringLiteral("Revert ") + path);
            });
    } catch (const std::exception& failure) {
        showLoadFailure(path, failure);
    }
}

// Wave data that came without a file; an error is shown with its own text.
void TInterfaceForm::loadWaveData(const QString& what, const AudioLoad& load,
                                  const QString& unnamedSource) {
    try {
        replaceAudioInBackground(what, load, [&] {
            currentFileName_.clear();
            unnamedSource_ = unnamedSource;
        });
    } catch (const std::exception& e) {
        dialogs_->message(QString::fromStdString(e.what()));
    }
}

bool TInterfaceForm::replaceLoop(const std::function<void()>& load) {
    bool done = false;
    runCommand([&] {
        engine().Stop();
        SetLEDs(-1);
        load();
        SetLEDs(-1);
        UpdateStatusBar(-1);
        done = true;
    });
    return done;
}

void TInterfaceForm::loadDroppedFile(const QString& path) {
    if (!started() || loading_)
        return;
    replaceLoop([&] { loadWaveFile(path); });
}

void TInterfaceForm::loadDroppedData(const QByteArray& bytes) {
    if (!started() || loading_)
        return;
    replaceLoop([&] {
        const std::span<const std::uint8_t> dropped(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size()));
        loadWaveData(
            QStringLiteral("dropped data"),
            [&](const DecodeProgress& progress) {
                return loadAudioBytes(dropped, "Error loading dropped data", progress);
            },
            QStringLiteral("(Dropped data)"));
    });
}

void TInterfaceForm::showLoadFailure(const QString& path, const std::exception& failure) {
    dialogs_->warning(kUnableToLoad + path + u'\n' + QString::fromStdString(failure.what()));
}

void TInterfaceForm::LoadFromFileButtonClick() {
    if (!started())
        return;
    replaceLoop([&] {
        if (const std::optional<QString> path = dialogs_->openFile(openWaveDialog(settings_)))
            loadWaveFile(*path);
    });
}

void TInterfaceForm::PasteFromClipBoardButtonClick() {
    if (!started())
        return;
    replaceLoop([&] {
        // The desktop's clipboard is read here on the GUI thread; only decoding leaves it.
        MemoryClipboard copy;
        if (clipboard().hasWave())
            copy.setWaveBytes(clipboard().waveBytes());
        loadWaveData(
            QStringLiteral("clipboard data"),
            [&](const DecodeProgress& progress) { return loadAudioClipboard(copy, progress); },
            QStringLiteral("(Clipboard data)"));
    });
}

void TInterfaceForm::RevertButtonClick() {
    if (!started())
        return;
    if (currentFileName_.isEmpty()) {
        dialogs_->message(QStringLiteral("Nothing to revert from"));
        return;
    }
    const QString path = currentFileName_;
    if (!QFileInfo::exists(path)) {
        dialogs_->message(QStringLiteral("It look like you've deleted ") + path);
        return;
    }
    replaceLoop([&] {
        try {
            const std::string file = localPath(path);
            replaceAudioInBackground(
                QFileInfo(path).fileName(),
                [&](const DecodeProgress& progress) { return loadAudioFile(file, progress); });
        } catch (const std::exception& failure) {
            showLoadFailure(path, failure);
        }
    });
}

} // namespace brev
