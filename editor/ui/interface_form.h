// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/loop_document.h"
#include "editor/session/playback_session.h"
#include "editor/ui/audio_controller.h"
#include "editor/ui/background_load.h"
#include "editor/ui/control_registry.h"
#include "editor/ui/editor_context.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/loop_drag_handle.h"
#include "editor/ui/loop_receiver.h"
#include "editor/ui/pattern_views.h"
#include "editor/ui/settings_binding.h"
#include "editor/ui/status_panel.h"
#include "editor/ui/window_builder.h"
#include "editor/ui/window_commands.h"
#include "output/tds.h"

#include <QWidget>
#include <bitset>
#include <functional>
#include <memory>

class QKeyEvent;
class QToolButton;

namespace brev {

class ClipboardPort;
class TBrevLED;
class TDS;
class TNotifyThread;
class PatternHistory;
class SyncChoice;
class TempoControls;
class WaveformStrip;

// What the editor is started with; every empty field takes the desktop's own.
struct EditorOptions {
    // Opens the engine for a device index; by default TDS(index) with the output chosen by the
    // environment (BREV_AUDIO, BREV_AUDIO_CAPTURE).
    std::function<std::unique_ptr<TDS>(int driverIndex)> makeEngine;
    EditorDialogs* dialogs = nullptr;   // default: the window's dialogs and message boxes
    ClipboardPort* clipboard = nullptr; // default: the desktop clipboard
    QString settingsFile;               // default: EditorSettings::defaultFileName()
};

// The editor's one window: toolbar, the 16-slot grid, the gang column, the global numbers and
// the status bar, built from interfaceLayout(). It wires the builder's controls, the audio
// controller, the settings and the history to its helpers, which see it as an EditorContext.
class TInterfaceForm : public QWidget,
                       public EditorContext,
                       public LoopReceiver,
                       private WindowCommands,
                       private LoopHolder {
    Q_OBJECT

public:
    // The bare window: controls at their layout values, no engine yet.
    explicit TInterfaceForm(QWidget* parent = nullptr);
    // Ends the notification thread, writes the settings, deletes the engine.
    ~TInterfaceForm() override;

    // Makes the window the editor: reads the settings into the controls, opens the engine for
    // the stored device (falling back to the first), fills the device list, the status bar and
    // the caption. Raises brev::Error when not even the first device can be opened.
    void start(const EditorOptions& options = {});
    bool started() const override { return audio_->engine() != nullptr; }
    // True while a loop is being decoded: a new load waits until it is done.
    bool loading() const override { return loading_; }

    // What the commands work on. engine() only after start().
    TDS& engine() override;
    PatternModel& pattern() override { return document_.pattern(); }
    EditorSettings& settings() override { return settings_; }
    EditorDialogs& dialogs() override { return *dialogs_; }

    // The current wave file: empty before any load and after a paste.
    QString currentFileName() const override {
        return QString::fromStdString(document_.name().fileName);
    }
    // Load a file dropped on the window or given from outside (the command line, a later start)
    // as the load command loads a chosen one.
    void loadDroppedFile(const QString& path) override;
    // Renders one slot from the controls into the engine's slot store.
    virtual void RenderSegment(int slot);
    void renderAll();
    TNotifyThread* notifyThread() const { return audio_->notifyThread(); }

    StatusPanel* statusPanel(int index) const override {
        return widgets_.statusPanels.value(index);
    }

    // Keys reach the window before its controls; hints are held back while they are off.
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    // Called on the GUI thread for each slot start that playback reaches.
    virtual void BufferEventHandler(int index);

    // A sweep of check texts that began on the background arrives here.
    void mouseMoveEvent(QMouseEvent* event) override;
    // Closing stops playback first.
    void closeEvent(QCloseEvent* event) override;

private:
    // The tests' one way into the window's parts.
    friend class WindowProbe;

    // The control of that name, ignoring case; null when there is none.
    QWidget* findComponent(QStringView name) const { return controls_.find(name); }
    template <class T> T* component(QStringView name) const { return controls_.get<T>(name); }

    QWidget& editorWindow() override { return *this; }
    QWidget& receivingWindow() override { return *this; }
    // Runs a command; an exception it raises is shown in a message box with its text, as the
    // application's default display does, and goes no further. The Play button then shows
    // whether the loop plays.
    void runCommand(const std::function<void()>& command) override;
    void showPlaying();
    // Renders every slot; null before start() and while nothing is loaded.
    const SegmentStore* renderedLoop() override;
    // Wave data dropped on the window, loaded as the paste command loads the clipboard's.
    void loadDroppedData(const QByteArray& bytes) override;
    ClipboardPort& clipboard();

    // Stretches the loaded loop again, as it was loaded, to the tempo controls' target and
    // pitch, off the GUI thread: while it plays, the new loop takes over at a bar's start.
    void retune();
    // A loop stretched while playing has taken over.
    void retuneTookOver(const TDS::Retune& retuned);
    // Playback stopped (Stop, Space, its last pass) before a retune took over: it is made now.
    void retuneWhenStopped();
    // The engine holds the document's loop: a new swing cuts it again, and it plays on.
    void cut(BrevWave::TWave loop, int swing) override;
    void recut(int swing) override;
    const SegmentStore& store() const override;
    const BrevWave::TWave& cutLoop() const override;
    // The play command and the refill, rendering through RenderSegment.
    PlaybackSession session();
    void SetLEDs(int index);
    void UpdateStatusBar(int panel) override;
    int AngleOffset() const;

    void LoadFromFileButtonClick() override;
    void SaveToFileButtonClick() override;
    void PasteFromClipBoardButtonClick() override;
    void CopyToClipBoardButtonClick() override;
    void RevertButtonClick() override;
    void PlayButtonClick() override;
    void StopButtonClick() override;
    void LoopButtonClick() override;
    void F22KButtonClick() override;
    void F44KButtonClick() override;
    void F88KButtonClick() override;
    void DriversComboBoxChange(int index) override;
    void BackgroundColorButtonClick() override;
    void SmartFadesButtonClick() override;
    void HintsButtonClick() override;
    void InnerFadesButtonClick() override;
    void LogFadesButtonClick() override;
    // Space plays or stops, F1 asks for help; every key also goes on to its control.
    void FormKeyDown(QKeyEvent* event);
    // A value of the pattern changed by an edit or by code: smart fades, gangs, the status bar.
    void patternChanged(const ControlInfo& control, int value);

    SettingsTargets settingsTargets();
    // Undo or redo wrote values back: the status bar and the slots that sound different follow.
    void valuesRestored(const std::bitset<kSlotCount>& altered);
    void readSettings();
    void writeSettings();
    void openEngine();
    void fillDriverList();
    // Every way a new loop comes in: stop, LEDs off, load, LEDs off, the status bar refreshed;
    // an error the load raises is shown, and false returned.
    bool replaceLoop(const std::function<void()>& load);
    void replaceAudio(const std::function<void()>& load);
    bool replaceAudioInBackground(const QString& what, const AudioLoad& load, LoopName name);
    void loadWaveFile(const QString& path);
    void loadWaveData(const QString& what, const AudioLoad& load, const QString& unnamedSource);
    // "Sorry, but I was unable to load PATH", and the loader's reason on the next line.
    void showLoadFailure(const QString& path, const std::exception& failure);
    bool needsAudio();
    void setRate(unsigned hz);
    void setHintsShown(bool shown);
    // A toolbar button by name; settings and commands reach the window's toggles through it.
    QToolButton* toolButton(std::string_view name) const;
    bool toolDown(const char* name) const;

    EditorOptions options_;
    LoopDocument document_{*this};
    PatternViews views_{document_.pattern()};
    EditorSettings settings_;
    std::unique_ptr<EditorDialogs> ownDialogs_;
    EditorDialogs* dialogs_ = nullptr;
    std::unique_ptr<ClipboardPort> ownClipboard_;
    AudioController* audio_ = nullptr;
    bool loading_ = false;
    int driverIndex_ = 0;
    bool hintsShown_ = true;
    QList<TBrevLED*> leds_;
    WindowWidgets widgets_;
    ControlRegistry controls_;
    PatternHistory* history_ = nullptr;
    Subscription handlers_;            // runs each change handler in a history step
    SyncChoice* syncChoice_ = nullptr; // a child of the playback panel
    TempoControls* tempo_ = nullptr;
};

} // namespace brev
