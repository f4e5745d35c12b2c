// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The window as the editor: settings, engine and notification thread, slot rendering and the
// audio commands of the toolbar and the keyboard.
#include "audio/audio_import.h"
#include "audio/clipboard_port.h"
#include "audio/error.h"
#include "audio/loop_stretcher.h"
#include "controls/brev_check_text.h"
#include "controls/brev_led.h"
#include "controls/brev_number.h"
#include "editor/core/pattern_controls.h"
#include "editor/core/pattern_tools.h"
#include "editor/core/program_info.h"
#include "editor/core/render.h"
#include "editor/session/playback_session.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/pattern_history.h"
#include "editor/ui/qt_clipboard.h"
#include "editor/ui/settings_binding.h"
#include "editor/ui/sync_choice.h"
#include "editor/ui/tempo_controls.h"
#include "editor/ui/waveform_strip.h"
#include "output/notify_thread.h"
#include "output/tds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cstdio>
#include <thread>

namespace brev {

namespace {

const QString kLoadDirectory = QStringLiteral("Load directory");
const QString kNoAudio = QStringLiteral("Load some audio first");
const QString kUnableToLoad = QStringLiteral("Sorry, but I was unable to load ");
const QString kDefaulted = QStringLiteral("We've defaulted to the primary DirectSound device.");

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath() + u'/';
}

int swingOf(const PatternAccess& pattern) {
    return pattern.NumberValue(kSwingNumber);
}

// Every format the loader or the decoder opens.
FileDialogRequest openWaveDialog(const EditorSettings& settings) {
    QString patterns;
    for (std::string_view extension : audioFileExtensions())
        patterns += (patterns.isEmpty() ? "*." : " *.") + QString::fromLatin1(extension);
    return {QStringLiteral("wav"), QStringLiteral("Audio|") + patterns,
            settings.readString(kLoadDirectory, QString())};
}

FileDialogRequest saveWaveDialog(const EditorSettings& settings) {
    return {QStringLiteral("wav"), QStringLiteral("WAV or FLAC|*.wav *.flac"),
            settings.readString(kLoadDirectory, QString())};
}

} // namespace

TInterfaceForm::~TInterfaceForm() {
    qApp->removeEventFilter(this);
    if (!started())
        return;
    audio_->endNotifyThread();
    writeSettings();
    currentFileName_.clear();
    audio_->setEngine(nullptr);
}

// --- lifecycle -------------------------------------------------------------------------------

void TInterfaceForm::start(const EditorOptions& options) {
    options_ = options;
    if (!options_.makeEngine)
        options_.makeEngine = [](int index) { return std::make_unique<TDS>(index); };
    if (options_.dialogs)
        dialogs_ = options_.dialogs;
    settings_ = EditorSettings(options_.settingsFile);

    readSettings();
    tempo_->restore();
    // The stored numbers are where the history starts, not a step of it.
    history_->stack().clear();
    openEngine();
    fillDriverList();
    UpdateStatusBar(-1);
    syncChoice_ = new SyncChoice(*this, *statusPanel(1));
    syncChoice_->apply();
    setWindowTitle(QString::fromStdString(versionCaption()));

    audio_->startWatching();
}

SettingsTargets TInterfaceForm::settingsTargets() {
    return {pattern_, [this](std::string_view name) { return toolButton(name); }, *this};
}

void TInterfaceForm::readSettings() {
    driverIndex_ = readWindowSettings(settings_, settingsTargets());
    setHintsShown(toolDown("HintsButton"));
}

void TInterfaceForm::writeSettings() {
    // Mostly written as the window closes, with no window left to say it in.
    if (!writeWindowSettings(settings_, settingsTargets(), driverIndex_))
        std::fprintf(stderr, "The settings could not be written to %s\n",
                     QFile::encodeName(settings_.fileName()).constData());
}

void TInterfaceForm::openEngine() {
    try {
        audio_->setEngine(options_.makeEngine(driverIndex_));
    } catch (const std::exception&) {
        driverIndex_ = 0;
        writeSettings();
        audio_->setEngine(options_.makeEngine(0));
        dialogs_->message(kDefaulted);
    }
    driverIndex_ = engine().DriverIndex();
}

void TInterfaceForm::fillDriverList() {
    QComboBox* list = driversComboBox();
    list->clear();
    for (int i = 0; i < engine().DriverCount(); ++i)
        list->addItem(QString::fromStdString(engine().DriverName(i)));
    if (engine().silent()) {
        // No sound device (or the null output asked for): say so rather than fail.
        list->setItemText(0, list->itemText(0) + QStringLiteral(" (silent)"));
        list->setItemData(0, QString::fromStdString(engine().OutputNotice()), Qt::ToolTipRole);
    }
    list->setCurrentIndex(driverIndex_);
}

TDS& TInterfaceForm::engine() {
    if (!started())
        throw Error("TInterfaceForm - the editor has not been started");
    return *audio_->engine();
}

ClipboardPort& TInterfaceForm::clipboard() {
    if (options_.clipboard)
        return *options_.clipboard;
    if (!ownClipboard_)
        ownClipboard_ = std::make_unique<QtClipboard>();
    return *ownClipboard_;
}

void TInterfaceForm::runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_->error(QString::fromStdString(e.what()));
    }
}

// --- rendering and feedback ------------------------------------------------------------------

PlaybackSession TInterfaceForm::session() {
    return PlaybackSession(engine(), [this](int slot) { RenderSegment(slot); });
}

void TInterfaceForm::RenderSegment(int slot) {
    brev::RenderSegment(pattern_, engine().renderTarget(), slot);
    waveform_->slotRendered(engine().Store(), slot);
}

void TInterfaceForm::renderAll() {
    session().renderAll();
}

const SegmentStore* TInterfaceForm::renderedLoop() {
    if (!started() || !engine().IsLoaded())
        return nullptr;
    renderAll();
    return &engine().Store();
}

void TInterfaceForm::valuesRestored(const std::bitset<kSlotCount>& altered) {
    // The cutting angle's own handler, held off by the history, only refreshes the status bar.
    UpdateStatusBar(3);
    if (!started() || !engine().IsLoaded())
        return;
    runCommand([&] {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (altered.test(static_cast<std::size_t>(slot)))
                RenderSegment(slot);
        }
    });
}

void TInterfaceForm::BufferEventHandler(int index) {
    SetLEDs(index);
    session().slotStarted(index);
}

void TInterfaceForm::SetLEDs(int index) {
    if (leds_.isEmpty()) {
        for (int i = 0; i < kSlotCount; ++i)
            leds_ << component<TBrevLED>(QStringLiteral("LED%1").arg(i));
    }
    for (int i = 0; i < leds_.size(); ++i) {
        if (leds_[i])
            leds_[i]->SetState(i == index);
    }
    waveform_->setPlayingSlot(index);
}

void TInterfaceForm::UpdateStatusBar(int panel) {
    const bool loaded = started() && engine().IsLoaded();
    if (panel == -1 || panel == 0) {
        QString text = QStringLiteral("(Nothing loaded)");
        if (loaded) {
            text = currentFileName_.isEmpty() ? unnamedSource_ : currentFileName_;
            if (!sourceFormat_.isEmpty())
                text += QStringLiteral(" (from ") + sourceFormat_ + u')';
        }
        statusPanel(0)->setText(text);
    }
    if (panel == -1 || panel == 1) {
        const SyncState sync = started() ? engine().Sync() : SyncState{};
        QString text = QStringLiteral("Playback: %1 Hz").arg(sync.rateHz) + syncSuffix(sync);
        // Gaps in the sound, and edits heard a pass late, are worth knowing of.
        if (started() && engine().Underflows() > 0)
            text += QStringLiteral(", %1 underflows").arg(engine().Underflows());
        if (started() && engine().LateRefills() > 0)
            text += QStringLiteral(", %1 late slots").arg(engine().LateRefills());
        statusPanel(1)->setText(text);
    }
    if (panel == -1 || panel == 2) {
        statusPanel(2)->setText(
            loaded ? QStringLiteral("%1 samples").arg(engine().Store().SourceSamples())
                   : QStringLiteral("-"));
    }
    if (panel == -1 || panel == 3)
        statusPanel(3)->setText(QStringLiteral("Angle offset %1 samples").arg(AngleOffset()));
}

int TInterfaceForm::AngleOffset() const {
    return brev::AngleOffset(pattern_);
}

void TInterfaceForm::ValueChanged(TBrevNumber* sender, int value) {
    runCommand([&] {
        if (const ControlInfo* control = findControl(localPath(sender->objectName())))
            runChangeHandler(pattern_, *control, value);
    });
}

void TInterfaceForm::CheckChanged(TBrevCheckText* sender, bool value) {
    runCommand([&] {
        if (const ControlInfo* control = findControl(localPath(sender->objectName())))
            runChangeHandler(pattern_, *control, value ? 1 : 0);
    });
}

void TInterfaceForm::CuttingAngleNumberChanged(TBrevNumber*, int) {
    UpdateStatusBar(3);
}

void TInterfaceForm::SwingNumberChanged(TBrevNumber*, int) {
    // The swing applies at the next load, paste or revert.
}

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
    waveform_->showLoop(engine().Store());
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
        engine().LoadSourceWave(std::move(audio->wave), swingOf(pattern_));
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
    if (!started() || !engine().IsLoaded() || loading_ || tempo_->stretch() == stretched_)
        return;
    const bool playing = engine().IsPlaying();
    const bool replaced = replaceLoop([&] {
        const BrevWave::TWave& loop =
            unstretched_.GetSamples() > 0 ? unstretched_ : engine().Store().source();
        const std::string format = sourceFormat_.toStdString();
        // Cancelled, the loop plays on as it was, and the controls say so.
        if (!replaceAudioInBackground(QStringLiteral("the loop at its new tempo"),
                                      [&](const DecodeProgress&) {
                                          return LoadedAudio{loop, format};
                                      }))
            tempo_->show(stretched_);
    });
    if (replaced && playing)
        runCommand([&] { session().play(toolDown("LoopButton") ? 0 : 1); });
}

void TInterfaceForm::loadWaveFile(const QString& path) {
    auto* revert = findComponent(u"RevertButton");
    const QString previousFile = currentFileName_;
    const QString previousHint = revert->toolTip();
    currentFileName_ = path;
    revert->setToolTip(QStringLiteral("Revert ") + path);
    settings_.writeString(kLoadDirectory, folderOf(path));
    try {
        const std::string file = localPath(path);
        if (!replaceAudioInBackground(
                QFileInfo(path).fileName(),
                [&](const DecodeProgress& progress) { return loadAudioFile(file, progress); })) {
            // Cancelled: the loop that plays on is still the previous file's.
            currentFileName_ = previousFile;
            revert->setToolTip(previousHint);
        }
    } catch (const std::exception&) {
        showLoadFailure(path);
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

void TInterfaceForm::showLoadFailure(const QString& path) {
    dialogs_->warning(kUnableToLoad + path);
}

bool TInterfaceForm::needsAudio() {
    if (engine().IsLoaded())
        return false;
    dialogs_->message(kNoAudio);
    return true;
}

QToolButton* TInterfaceForm::toolButton(std::string_view name) const {
    return component<QToolButton>(
        QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

bool TInterfaceForm::toolDown(const char* name) const {
    return toolButton(name)->isChecked();
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
        } catch (const std::exception&) {
            showLoadFailure(path);
        }
    });
}

void TInterfaceForm::SaveToFileButtonClick() {
    if (!started())
        return;
    runCommand([&] {
        if (needsAudio())
            return;
        const std::optional<QString> path = dialogs_->saveFile(saveWaveDialog(settings_));
        if (!path)
            return;
        renderAll();
        settings_.writeString(kLoadDirectory, folderOf(*path));
        engine().SavePatternFile(localPath(*path));
    });
}

void TInterfaceForm::CopyToClipBoardButtonClick() {
    if (!started())
        return;
    runCommand([&] {
        if (needsAudio())
            return;
        renderAll();
        engine().CopyPatternToClipboard(clipboard());
        SetLEDs(-1);
    });
}

void TInterfaceForm::PlayButtonClick() {
    if (!started())
        return;
    runCommand([&] {
        if (needsAudio())
            return;
        session().play(toolDown("LoopButton") ? 0 : 1);
        audio_->updateOutputLoss();
    });
}

void TInterfaceForm::StopButtonClick() {
    if (!started())
        return;
    runCommand([&] {
        engine().Stop();
        SetLEDs(-1);
    });
}

void TInterfaceForm::LoopButtonClick() {
    if (!started())
        return;
    runCommand([&] {
        if (engine().IsPlaying()) {
            engine().Stop();
            engine().Play(toolDown("LoopButton"));
        }
    });
}

void TInterfaceForm::setRate(unsigned hz) {
    if (!started())
        return;
    runCommand([&] {
        engine().SetPlaybackRate(hz);
        UpdateStatusBar(1);
    });
}

void TInterfaceForm::F22KButtonClick() {
    setRate(22050);
}
void TInterfaceForm::F44KButtonClick() {
    setRate(44100);
}
void TInterfaceForm::F88KButtonClick() {
    setRate(88200);
}

void TInterfaceForm::DriversComboBoxChange(int index) {
    if (!started())
        return;
    runCommand([&] {
        engine().Stop();
        if (index == driverIndex_) {
            // The device in use may have been lost: choosing it tries it again.
            engine().RetryLostDevice();
            return;
        }
        std::unique_ptr<TDS> fresh;
        try {
            fresh = options_.makeEngine(index);
        } catch (...) {
            // The old device plays on, so the index and the list stay on it.
            driversComboBox()->setCurrentIndex(driverIndex_);
            throw;
        }
        driverIndex_ = index;
        audio_->endNotifyThread();
        audio_->setEngine(std::move(fresh));
        unstretched_ = BrevWave::TWave();
        tempo_->showOwnTempo(0);
        syncChoice_->apply();
        waveform_->showLoop(engine().Store());
    });
}

void TInterfaceForm::BackgroundColorButtonClick() {
    runCommand([&] {
        if (const std::optional<QColor> colour = dialogs_->chooseColor(backgroundColour(*this)))
            setBackgroundColour(*this, *colour);
    });
}

void TInterfaceForm::SmartFadesButtonClick() {
    runCommand([&] { smartFadesButtonClick(pattern_); });
}

void TInterfaceForm::HintsButtonClick() {
    setHintsShown(toolDown("HintsButton"));
}

void TInterfaceForm::setHintsShown(bool shown) {
    hintsShown_ = shown;
}

void TInterfaceForm::InnerFadesButtonClick() {
    // Read by every render; nothing to do at the click.
}

// --- keyboard and closing --------------------------------------------------------------------

void TInterfaceForm::FormKeyDown(QKeyEvent* event) {
    if (!started())
        return;
    if (event->key() == Qt::Key_Space) {
        runCommand([&] {
            if (engine().IsPlaying()) {
                engine().Stop();
                SetLEDs(-1);
            } else {
                engine().Play(toolDown("LoopButton"));
            }
        });
    } else if (event->key() == Qt::Key_F1) {
        if (auto* help = component<QToolButton>(u"HelpButton"))
            help->click();
    }
}

bool TInterfaceForm::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::ToolTip)
        return !hintsShown_ && widget->window() == this;
    if (event->type() == QEvent::KeyPress) {
        // A key travels from the focused control up to the window; take it once, where it starts.
        QWidget* first = QApplication::focusWidget();
        if (!first || first->window() != this)
            first = this;
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget == first) {
            FormKeyDown(key);
            // Space only plays or stops: the device list, focused by a choice made with the
            // mouse, would open as well.
            return key->key() == Qt::Key_Space && first == drivers_;
        }
    }
    return false;
}

void TInterfaceForm::closeEvent(QCloseEvent* event) {
    if (started() && engine().IsPlaying())
        engine().Stop();
    event->accept();
}

} // namespace brev
