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

const QString kDriverIndex = QStringLiteral("Driver index");
const QString kLoadDirectory = QStringLiteral("Load directory");
const QString kNoAudio = QStringLiteral("Load some audio first");
const QString kUnableToLoad = QStringLiteral("Sorry, but I was unable to load ");
const QString kDefaulted = QStringLiteral("We've defaulted to the primary DirectSound device.");

// The integer settings besides the driver index, in the order they are read and written.
struct IntegerSetting {
    const char* name;
    std::string_view control;
    int defaultValue;
    bool toggle;
};
// clang-format off
const IntegerSetting kControlSettings[] = {
    {"Fade samples",     kFadeSamplesNumber,  100, false},
    {"Swing percentage", kSwingNumber,        0,   false},
    {"Cutting angle",    kCuttingAngleNumber, 0,   false},
    {"Loop",             kLoopButton,         1,   true},
    {"Smart fades",      kSmartFadesButton,   1,   true},
    {"Hints",            "HintsButton",       1,   true},
    {"Inner fades",      kInnerFadesButton,   1,   true},
    {"Log fades",        kLogFadesButton,     1,   true},
};
// clang-format on
const QString kBackgroundColor = QStringLiteral("Background color");
constexpr int kGrey = 0x808080;

// Colours are stored as the Windows colour word: red in the low byte.
QColor fromColorWord(int word) {
    return QColor(word & 0xff, (word >> 8) & 0xff, (word >> 16) & 0xff);
}
int toColorWord(const QColor& colour) {
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

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
    if (!engine_)
        return;
    endNotifyThread();
    writeSettings();
    currentFileName_.clear();
    engine_.reset();
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

    // Often enough to say within a second that the device is gone.
    outputWatch_ = new QTimer(this);
    connect(outputWatch_, &QTimer::timeout, this, &TInterfaceForm::watchOutput);
    outputWatch_->start(250);
}

void TInterfaceForm::readSettings() {
    driverIndex_ = settings_.readInteger(kDriverIndex, 0);
    for (const IntegerSetting& setting : kControlSettings) {
        const int value =
            settings_.readInteger(QString::fromLatin1(setting.name), setting.defaultValue);
        if (setting.toggle)
            pattern_.setToggleDown(setting.control, value != 0);
        else
            pattern_.SetNumberValue(setting.control, value);
    }
    setHintsShown(toolDown("HintsButton"));
    setBackgroundColor(fromColorWord(settings_.readInteger(kBackgroundColor, kGrey)));
}

void TInterfaceForm::writeSettings() {
    bool written = settings_.writeInteger(kDriverIndex, driverIndex_);
    for (const IntegerSetting& setting : kControlSettings) {
        const QString name = QString::fromLatin1(setting.name);
        const int value = setting.toggle ? (pattern_.toggleDown(setting.control) ? 1 : 0)
                                         : pattern_.NumberValue(setting.control);
        written = settings_.writeInteger(name, value) && written;
    }
    written = settings_.writeInteger(kBackgroundColor, toColorWord(backgroundColor())) && written;
    // Mostly written as the window closes, with no window left to say it in.
    if (!written)
        std::fprintf(stderr, "The settings could not be written to %s\n",
                     QFile::encodeName(settings_.fileName()).constData());
}

void TInterfaceForm::openEngine() {
    try {
        engine_ = options_.makeEngine(driverIndex_);
    } catch (const std::exception&) {
        driverIndex_ = 0;
        writeSettings();
        engine_ = options_.makeEngine(0);
        dialogs_->message(kDefaulted);
    }
    driverIndex_ = engine_->DriverIndex();
}

void TInterfaceForm::fillDriverList() {
    QComboBox* list = driversComboBox();
    list->clear();
    for (int i = 0; i < engine_->DriverCount(); ++i)
        list->addItem(QString::fromStdString(engine_->DriverName(i)));
    if (engine_->silent()) {
        // No sound device (or the null output asked for): say so rather than fail.
        list->setItemText(0, list->itemText(0) + QStringLiteral(" (silent)"));
        list->setItemData(0, QString::fromStdString(engine_->OutputNotice()), Qt::ToolTipRole);
    }
    list->setCurrentIndex(driverIndex_);
}

TDS& TInterfaceForm::engine() {
    if (!engine_)
        throw Error("TInterfaceForm - the editor has not been started");
    return *engine_;
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

// --- notification thread ---------------------------------------------------------------------

void TInterfaceForm::startNotifyThread() {
    std::uint32_t count = 0;
    const int* events = engine_->GetEvents(count);
    thread_ = std::make_unique<TNotifyThread>(
        events, count,
        [this](std::int32_t index) {
            // A hand-over still pending while the thread is being ended has nothing to do.
            if (!endingThread_)
                BufferEventHandler(index);
        },
        [this](const std::function<void()>& call) {
            QMetaObject::invokeMethod(
                this, [&call] { call(); }, Qt::BlockingQueuedConnection);
        },
        [this](const std::string& message) {
            notifyThreadFailed(QString::fromStdString(message));
        });
}

void TInterfaceForm::endNotifyThread() {
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

void TInterfaceForm::notifyThreadFailed(const QString& message) {
    QString reason = message;
    reason.replace(u'\n', u' ');
    statusPanel(0)->setText(QStringLiteral("Playback feedback stopped: ") + reason);
}

void TInterfaceForm::watchOutput() {
    if (!engine_)
        return;
    const std::string failure = engine_->OutputFailure();
    if (!failure.empty()) {
        engine_->ContinueSilently(failure);
        showOutputLoss(failure);
    }
    engine_->ReleaseIdleOutput();
    updateOutputLoss();
    syncChoice_->watch();
    UpdateStatusBar(1);
}

void TInterfaceForm::showOutputLoss(const std::string& reason) {
    QString text = QString::fromStdString(reason);
    text.replace(u'\n', u' ');
    statusPanel(0)->setText(QStringLiteral("Sound output lost, playing silently: ") + text);
    outputLossShown_ = true;
}

void TInterfaceForm::updateOutputLoss() {
    if (engine_->DeviceLost() && !outputLossShown_) {
        // The notice's first line says what the status bar says itself.
        const std::string& notice = engine_->OutputNotice();
        showOutputLoss(notice.substr(notice.find('\n') + 1));
    } else if (outputLossShown_ && !engine_->silent()) {
        outputLossShown_ = false;
        UpdateStatusBar(0);
    }
}

// --- rendering and feedback ------------------------------------------------------------------

PlaybackSession TInterfaceForm::session() {
    return PlaybackSession(engine(), [this](int slot) { RenderSegment(slot); });
}

void TInterfaceForm::RenderSegment(int slot) {
    brev::RenderSegment(pattern_, engine().renderTarget(), slot);
    waveform_->slotRendered(engine_->Store(), slot);
}

void TInterfaceForm::renderAll() {
    session().renderAll();
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
    const bool loaded = engine_ && engine_->IsLoaded();
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
        const SyncState sync = engine_ ? engine_->Sync() : SyncState{};
        QString text = QStringLiteral("Playback: %1 Hz").arg(sync.rateHz) + syncSuffix(sync);
        // Gaps in the sound, and edits heard a pass late, are worth knowing of.
        if (engine_ && engine_->Underflows() > 0)
            text += QStringLiteral(", %1 underflows").arg(engine_->Underflows());
        if (engine_ && engine_->LateRefills() > 0)
            text += QStringLiteral(", %1 late slots").arg(engine_->LateRefills());
        statusPanel(1)->setText(text);
    }
    if (panel == -1 || panel == 2) {
        statusPanel(2)->setText(
            loaded ? QStringLiteral("%1 samples").arg(engine_->Store().SourceSamples())
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
    endNotifyThread();
    try {
        load();
    } catch (...) {
        // A refused load leaves the engine's previous loop in place: keep following it.
        if (engine_->IsLoaded())
            startNotifyThread();
        throw;
    }
    waveform_->showLoop(engine_->Store());
    startNotifyThread();
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
        engine_->LoadSourceWave(std::move(audio->wave), swingOf(pattern_));
        if (loaded)
            loaded();
    });
    // Kept only when stretched: otherwise the engine's own loop is the loop as loaded.
    unstretched_ = std::move(unstretched);
    stretched_ = stretchProblem.empty() ? stretch : LoopStretch{};
    tempo_->showOwnTempo(loopTempo(unstretched_.GetSamples() > 0
                                       ? unstretched_.GetSamples()
                                       : engine_->Store().SourceSamples()));
    sourceFormat_ = QString::fromStdString(audio->convertedFrom);
    if (!stretchProblem.empty())
        dialogs_->message(QString::fromStdString(stretchProblem));
    return true;
}

void TInterfaceForm::retune() {
    if (!engine_ || !engine_->IsLoaded() || loading_ || tempo_->stretch() == stretched_)
        return;
    runCommand([&] {
        const bool playing = engine_->IsPlaying();
        engine_->Stop();
        const BrevWave::TWave& loop =
            unstretched_.GetSamples() > 0 ? unstretched_ : engine_->LoadedSource();
        const std::string format = sourceFormat_.toStdString();
        // Cancelled, the loop plays on as it was, and the controls say so.
        if (!replaceAudioInBackground(QStringLiteral("the loop at its new tempo"),
                                      [&](const DecodeProgress&) {
                                          return LoadedAudio{loop, format};
                                      }))
            tempo_->show(stretched_);
        SetLEDs(-1);
        UpdateStatusBar(-1);
        if (playing)
            session().play(toolDown("LoopButton") ? 0 : 1);
    });
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

void TInterfaceForm::loadDroppedFile(const QString& path) {
    if (!engine_ || loading_)
        return;
    runCommand([&] {
        engine_->Stop();
        SetLEDs(-1);
        loadWaveFile(path);
        SetLEDs(-1);
        UpdateStatusBar(-1);
    });
}

void TInterfaceForm::loadDroppedData(const QByteArray& bytes) {
    if (!engine_ || loading_)
        return;
    runCommand([&] {
        engine_->Stop();
        const std::span<const std::uint8_t> dropped(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size()));
        loadWaveData(
            QStringLiteral("dropped data"),
            [&](const DecodeProgress& progress) {
                return loadAudioBytes(dropped, "Error loading dropped data", progress);
            },
            QStringLiteral("(Dropped data)"));
        SetLEDs(-1);
        UpdateStatusBar(-1);
    });
}

void TInterfaceForm::showLoadFailure(const QString& path) {
    dialogs_->warning(kUnableToLoad + path);
}

bool TInterfaceForm::needsAudio() {
    if (engine_->IsLoaded())
        return false;
    dialogs_->message(kNoAudio);
    return true;
}

bool TInterfaceForm::toolDown(const char* name) const {
    return pattern_.toggleDown(name);
}

void TInterfaceForm::LoadFromFileButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        engine_->Stop();
        SetLEDs(-1);
        if (const std::optional<QString> path = dialogs_->openFile(openWaveDialog(settings_)))
            loadWaveFile(*path);
        SetLEDs(-1);
        UpdateStatusBar(-1);
    });
}

void TInterfaceForm::PasteFromClipBoardButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        engine_->Stop();
        // The desktop's clipboard is read here on the GUI thread; only decoding leaves it.
        MemoryClipboard copy;
        if (clipboard().hasWave())
            copy.setWaveBytes(clipboard().waveBytes());
        loadWaveData(
            QStringLiteral("clipboard data"),
            [&](const DecodeProgress& progress) { return loadAudioClipboard(copy, progress); },
            QStringLiteral("(Clipboard data)"));
        SetLEDs(-1);
        UpdateStatusBar(-1);
    });
}

void TInterfaceForm::RevertButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        if (currentFileName_.isEmpty()) {
            dialogs_->message(QStringLiteral("Nothing to revert from"));
            return;
        }
        const QString path = currentFileName_;
        if (!QFileInfo::exists(path)) {
            dialogs_->message(QStringLiteral("It look like you've deleted ") + path);
            return;
        }
        engine_->Stop();
        try {
            const std::string file = localPath(path);
            replaceAudioInBackground(
                QFileInfo(path).fileName(),
                [&](const DecodeProgress& progress) { return loadAudioFile(file, progress); });
        } catch (const std::exception&) {
            showLoadFailure(path);
        }
        SetLEDs(-1);
    });
}

void TInterfaceForm::SaveToFileButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        if (needsAudio())
            return;
        const std::optional<QString> path = dialogs_->saveFile(saveWaveDialog(settings_));
        if (!path)
            return;
        renderAll();
        settings_.writeString(kLoadDirectory, folderOf(*path));
        engine_->SavePatternFile(localPath(*path));
    });
}

void TInterfaceForm::CopyToClipBoardButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        if (needsAudio())
            return;
        renderAll();
        engine_->CopyPatternToClipboard(clipboard());
        SetLEDs(-1);
    });
}

void TInterfaceForm::PlayButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        if (needsAudio())
            return;
        session().play(toolDown("LoopButton") ? 0 : 1);
        updateOutputLoss();
    });
}

void TInterfaceForm::StopButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        engine_->Stop();
        SetLEDs(-1);
    });
}

void TInterfaceForm::LoopButtonClick() {
    if (!engine_)
        return;
    runCommand([&] {
        if (engine_->IsPlaying()) {
            engine_->Stop();
            engine_->Play(toolDown("LoopButton"));
        }
    });
}

void TInterfaceForm::setRate(unsigned hz) {
    if (!engine_)
        return;
    runCommand([&] {
        engine_->SetPlaybackRate(hz);
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
    if (!engine_)
        return;
    runCommand([&] {
        engine_->Stop();
        if (index == driverIndex_) {
            // The device in use may have been lost: choosing it tries it again.
            engine_->RetryLostDevice();
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
        endNotifyThread();
        engine_ = std::move(fresh);
        unstretched_ = BrevWave::TWave();
        tempo_->showOwnTempo(0);
        syncChoice_->apply();
        waveform_->showLoop(engine_->Store());
    });
}

void TInterfaceForm::BackgroundColorButtonClick() {
    runCommand([&] {
        if (const std::optional<QColor> colour = dialogs_->chooseColor(backgroundColor()))
            setBackgroundColor(*colour);
    });
}

QColor TInterfaceForm::backgroundColor() const {
    return palette().color(QPalette::Window);
}

void TInterfaceForm::setBackgroundColor(const QColor& colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    setPalette(colours);
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
    if (!engine_)
        return;
    if (event->key() == Qt::Key_Space) {
        runCommand([&] {
            if (engine_->IsPlaying()) {
                engine_->Stop();
                SetLEDs(-1);
            } else {
                engine_->Play(toolDown("LoopButton"));
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
    if (engine_ && engine_->IsPlaying())
        engine_->Stop();
    event->accept();
}

} // namespace brev
