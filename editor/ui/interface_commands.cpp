// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The window as the editor: start and close, slot rendering and feedback, and the commands of
// the toolbar and the keyboard that do not bring in a new loop.
#include "audio/clipboard_port.h"
#include "base/error.h"
#include "base/program_info.h"
#include "controls/brev_check_text.h"
#include "controls/brev_led.h"
#include "controls/brev_number.h"
#include "editor/core/pattern_controls.h"
#include "editor/core/pattern_tools.h"
#include "editor/core/render.h"
#include "editor/session/playback_session.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/local_file_name.h"
#include "editor/ui/pattern_history.h"
#include "editor/ui/qt_clipboard.h"
#include "editor/ui/settings_binding.h"
#include "editor/ui/sync_choice.h"
#include "editor/ui/tempo_controls.h"
#include "editor/ui/wave_dialogs.h"
#include "editor/ui/waveform_strip.h"
#include "output/tds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QToolButton>
#include <cstdio>

namespace brev {

namespace {

const QString kNoAudio = QStringLiteral("Load some audio first");
const QString kDefaulted = QStringLiteral("We've defaulted to the primary DirectSound device.");

} // namespace

TInterfaceForm::~TInterfaceForm() {
    qApp->removeEventFilter(this);
    if (!started())
        return;
    audio_->endNotifyThread();
    writeSettings();
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
    return {pattern(), [this](std::string_view name) { return toolButton(name); }, *this};
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
    QComboBox* list = widgets_.drivers;
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
    showPlaying();
}

void TInterfaceForm::showPlaying() {
    // Held down rather than checked: a click while it plays starts the loop again, as it did.
    toolButton("PlayButton")->setDown(started() && engine().IsPlaying());
}

// --- rendering and feedback ------------------------------------------------------------------

PlaybackSession TInterfaceForm::session() {
    return PlaybackSession(engine(), pattern(), [this](int slot) { RenderSegment(slot); });
}

void TInterfaceForm::RenderSegment(int slot) {
    brev::RenderSegment(pattern(), engine().renderTarget(), slot);
    widgets_.waveform->slotRendered(engine().Store(), slot);
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
    if (std::optional<TDS::Retune> retuned = engine().TakeRetune()) {
        retuneTookOver(*retuned);
        // The controls may have moved on meanwhile.
        retune();
    }
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
    widgets_.waveform->setPlayingSlot(index);
}

void TInterfaceForm::UpdateStatusBar(int panel) {
    const bool loaded = started() && engine().IsLoaded();
    if (panel == -1 || panel == 0) {
        QString text = QStringLiteral("(Nothing loaded)");
        if (loaded) {
            text = QString::fromStdString(document_.displayName());
            if (const std::string& format = document_.sourceFormat(); !format.empty())
                text += QStringLiteral(" (from ") + QString::fromStdString(format) + u')';
            // They carry over to every loop and every start: a stretched loop says so.
            if (const std::string tempo = document_.targetSummary(); !tempo.empty())
                text += u' ' + QString::fromStdString(tempo);
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
    return brev::AngleOffset(document_.pattern());
}

void TInterfaceForm::patternChanged(const ControlInfo& control, int value) {
    if (control.handler == ChangeHandler::CuttingAngleNumberChanged)
        UpdateStatusBar(3);
    else
        runCommand([&] { runChangeHandler(pattern(), control, value); });
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

void TInterfaceForm::SaveToFileButtonClick() {
    if (!started())
        return;
    runCommand([&] {
        if (needsAudio())
            return;
        const std::optional<QString> path =
            dialogs_->saveFile(saveWaveDialog(settings_, currentFileName()));
        if (!path)
            return;
        renderAll();
        rememberWaveFolder(settings_, *path);
        engine().SavePatternFile(localPath(*path));
        statusPanel(0)->setText(QStringLiteral("Rendered loop saved as ") + *path);
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
        session().play(pattern().toggleDown(kLoopButton) ? 0 : 1);
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
    retuneWhenStopped();
}

void TInterfaceForm::LoopButtonClick() {
    if (!started())
        return;
    runCommand([&] {
        if (engine().IsPlaying()) {
            engine().Stop();
            engine().Play(pattern().toggleDown(kLoopButton));
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
            widgets_.drivers->setCurrentIndex(driverIndex_);
            throw;
        }
        driverIndex_ = index;
        audio_->endNotifyThread();
        audio_->setEngine(std::move(fresh));
        document_.forgetLoop();
        tempo_->showOwnTempo(0);
        syncChoice_->apply();
        widgets_.waveform->showLoop(engine().Store());
    });
}

void TInterfaceForm::BackgroundColorButtonClick() {
    runCommand([&] {
        if (const std::optional<QColor> colour = dialogs_->chooseColor(backgroundColour(*this)))
            setBackgroundColour(*this, *colour);
    });
}

void TInterfaceForm::SmartFadesButtonClick() {
    history_->toggled(kSmartFadesButton);
    runCommand([&] { document_.setSwitch(kSmartFadesButton, toolDown("SmartFadesButton")); });
}

void TInterfaceForm::HintsButtonClick() {
    setHintsShown(toolDown("HintsButton"));
}

void TInterfaceForm::setHintsShown(bool shown) {
    hintsShown_ = shown;
}

// Read by every render: the click is a step of the history, whose undo renders every slot.
void TInterfaceForm::InnerFadesButtonClick() {
    history_->toggled(kInnerFadesButton);
}

void TInterfaceForm::LogFadesButtonClick() {
    history_->toggled(kLogFadesButton);
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
                retuneWhenStopped();
            } else {
                engine().Play(pattern().toggleDown(kLoopButton));
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
            return key->key() == Qt::Key_Space && first == widgets_.drivers;
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
