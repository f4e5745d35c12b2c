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

// Decodes and stretches off the GUI thread, then hands the loop to the document, whose engine
// takes it as replaceAudio does. False when the user cancelled or another load is under way.
bool TInterfaceForm::replaceAudioInBackground(const QString& what, const AudioLoad& load,
                                              LoopName name) {
    if (loading_)
        return false;
    const LoopStretch stretch = document_.target();
    std::optional<StretchedAudio> prepared;
    {
        const QScopedValueRollback<bool> busy(loading_, true);
        std::optional<LoadedAudio> audio =
            loadInBackground(this, what, [&](const DecodeProgress& progress) {
                // The stretched loop goes with what it was before: kept aside, not returned.
                prepared = LoopDocument::prepare(load(progress), stretch, progress);
                return LoadedAudio{};
            });
        if (!audio)
            return false;
    }
    const std::string problem = document_.adopt(std::move(*prepared), stretch, std::move(name));
    tempo_->showOwnTempo(document_.ownTempo());
    // A target the loop cannot reach: it plays at its own tempo, and is told so.
    if (!problem.empty())
        dialogs_->message(QString::fromStdString(problem));
    return true;
}

void TInterfaceForm::cut(BrevWave::TWave loop, int swing) {
    replaceAudio([&] { engine().LoadSourceWave(std::move(loop), swing); });
}

void TInterfaceForm::recut(int swing) {
    const bool playing = engine().IsPlaying();
    engine().Stop();
    // A stretch the player took meanwhile is the loop to cut; one on its way is asked again.
    engine().CancelRetune();
    if (std::optional<TDS::Retune> retuned = engine().TakeRetune())
        retuneTookOver(*retuned);
    cut(cutLoop(), swing);
    if (!playing) {
        renderAll();
        return;
    }
    session().play(pattern().toggleDown(kLoopButton) ? 0 : 1);
    retune();
}

const SegmentStore& TInterfaceForm::store() const {
    static const SegmentStore nothingLoaded;
    return audio_->engine() ? audio_->engine()->Store() : nothingLoaded;
}

const BrevWave::TWave& TInterfaceForm::cutLoop() const {
    return audio_->engine()->LoadedSource();
}

void TInterfaceForm::retune() {
    if (!started() || !engine().IsLoaded() || loading_)
        return;
    const LoopStretch wanted = document_.target();
    if (engine().IsPlaying()) {
        // The loop plays on while the new one is made, which takes over at the start of a bar.
        if (wanted == engine().PendingRetune().value_or(document_.stretched()))
            return;
        if (wanted == document_.stretched())
            engine().CancelRetune();
        else
            engine().RetuneLoop(std::make_shared<const BrevWave::TWave>(document_.loopAsLoaded()),
                                wanted);
        return;
    }
    // Stopped before a retune took over: it is made here, at once.
    engine().CancelRetune();
    if (std::optional<TDS::Retune> retuned = engine().TakeRetune())
        retuneTookOver(*retuned);
    if (wanted == document_.stretched())
        return;
    replaceLoop([&] {
        const BrevWave::TWave& loop = document_.loopAsLoaded();
        const std::string format = document_.sourceFormat();
        // Cancelled, the loop plays on as it was, and the controls say so.
        if (!replaceAudioInBackground(
                QStringLiteral("the loop at its new tempo"),
                [&](const DecodeProgress&) {
                    return LoadedAudio{loop, format};
                },
                document_.name()))
            tempo_->show(document_.stretched());
    });
}

void TInterfaceForm::retuneTookOver(const TDS::Retune& retuned) {
    document_.retuned(*retuned.asLoaded, retuned.stretch, retuned.problem);
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

void TInterfaceForm::loadWaveFile(const QString& path) {
    rememberWaveFolder(settings_, path);
    try {
        const std::string file = localPath(path);
        // Named once it is the loop: a refused or cancelled file leaves the previous name.
        if (replaceAudioInBackground(
                QFileInfo(path).fileName(),
                [&](const DecodeProgress& progress) { return loadAudioFile(file, progress); },
                {path.toStdString(), {}}))
            findComponent(u"RevertButton")->setToolTip(QStringLiteral("Revert ") + path);
    } catch (const std::exception& failure) {
        showLoadFailure(path, failure);
    }
}

// Wave data that came without a file; an error is shown with its own text.
void TInterfaceForm::loadWaveData(const QString& what, const AudioLoad& load,
                                  const QString& unnamedSource) {
    try {
        replaceAudioInBackground(what, load, {{}, unnamedSource.toStdString()});
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
    const QString path = currentFileName();
    if (path.isEmpty()) {
        dialogs_->message(QStringLiteral("Nothing to revert from"));
        return;
    }
    if (!QFileInfo::exists(path)) {
        dialogs_->message(QStringLiteral("It look like you've deleted ") + path);
        return;
    }
    replaceLoop([&] {
        try {
            const std::string file = localPath(path);
            replaceAudioInBackground(
                QFileInfo(path).fileName(),
                [&](const DecodeProgress& progress) { return loadAudioFile(file, progress); },
                document_.name());
        } catch (const std::exception& failure) {
            showLoadFailure(path, failure);
        }
    });
}

} // namespace brev
