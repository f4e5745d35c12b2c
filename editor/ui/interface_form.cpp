// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/interface_form.h"

#include "audio/clipboard_port.h"
#include "controls/brev_check_text.h"
#include "editor/ui/drop_target.h"
#include "editor/ui/editor_shortcuts.h"
#include "editor/ui/info_handlers.h"
#include "editor/ui/kit_command.h"
#include "editor/ui/loop_drag_handle.h"
#include "editor/ui/pattern_history.h"
#include "editor/ui/pattern_tool_handlers.h"
#include "editor/ui/sync_choice.h"
#include "editor/ui/tempo_controls.h"
#include "output/notify_thread.h"
#include "output/tds.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

namespace brev {

TInterfaceForm::TInterfaceForm(QWidget* parent) : QWidget(parent) {
    audio_ =
        new AudioController(this, {[this](int index) { BufferEventHandler(index); },
                                   [this](const QString& text) { statusPanel(0)->setText(text); },
                                   [this](int panel) { UpdateStatusBar(panel); },
                                   [this] {
                                       syncChoice_->watch();
                                       UpdateStatusBar(1);
                                       retuneWhenStopped();
                                       // Playback may have ended by itself.
                                       showPlaying();
                                   }});
    widgets_ = buildWindow(*this);
    new KitCommand(*this, *widgets_.waveform);
    // Every named control made so far, the kit's button among them.
    controls_.registerChildren(*this);
    // A bare window's toggles are up until the settings are read.
    for (std::string_view toggle :
         {kInnerFadesButton, kLogFadesButton, kSmartFadesButton, kLoopButton})
        pattern().setToggleDown(toggle, false);
    views_.bind([this](QStringView name) { return findComponent(name); });
    history_ = new PatternHistory(*this, pattern(), [this](const std::bitset<kSlotCount>& altered) {
        valuesRestored(altered);
    });
    WindowCommands* commands = this;
    bindLayoutHandlers(controls_,
                       {commands, new PatternToolHandlers(this), new InfoHandlers(this), history_});
    handlers_ = pattern().addHandlers([this](const ControlInfo& control, int value) {
        history_->openStep();
        patternChanged(control, value);
        history_->closeStep();
    });
    addEditorShortcuts(*this, controls_, *history_);
    new DropTarget(*this);
    new LoopDragHandle(*this, statusPanel(2));
    tempo_ = new TempoControls(*this, settings_, document_, [this] {
        UpdateStatusBar(0);
        retune();
    });
    keepKeysForWindow(*this);
    ownDialogs_ = std::make_unique<QtEditorDialogs>(*this, widgets_.openDialog, widgets_.saveDialog,
                                                    widgets_.colorDialog);
    dialogs_ = ownDialogs_.get();
    // Keys are seen before the controls get them, and hints can be held back.
    qApp->installEventFilter(this);

    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TInterfaceForm::mouseMoveEvent(QMouseEvent* event) {
    TBrevCheckText::sweepAt(this, event->globalPosition().toPoint(), event->buttons());
}

} // namespace brev
