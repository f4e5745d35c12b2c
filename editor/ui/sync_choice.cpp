// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/sync_choice.h"

#include "editor/ui/editor_context.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/status_panel.h"
#include "output/tds.h"

#include <QAction>
#include <QActionGroup>

namespace brev {

namespace {

const QString kSyncSetting = QStringLiteral("Sync");
const QString kKeepPitchSetting = QStringLiteral("Keep pitch");

QString oneLine(const std::string& text) {
    return QString::fromStdString(text).replace(u'\n', u' ');
}

} // namespace

SyncChoice::SyncChoice(EditorContext& form, StatusPanel& panel)
    : QObject(&panel), form_(form),
      chosen_(parseSyncMode(form.settings().readString(kSyncSetting, {}).toStdString())
                  .value_or(SyncMode::Off)) {
    auto* group = new QActionGroup(this);
    const char* labels[] = {"Own clock (no sync)", "Follow the JACK transport",
                            "Follow MIDI clock (JACK MIDI port clock_in)"};
    for (int i = 0; i < 3; ++i) {
        QAction* action = group->addAction(QString::fromLatin1(labels[i]));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] { choose(static_cast<SyncMode>(i)); });
        actions_ << action;
    }
    panel.addActions(actions_);
    // Following a clock at another tempo: stretch the loop to it, or change its rate and pitch.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    keepPitch_ = new QAction(QStringLiteral("Keep pitch"), this);
    keepPitch_->setCheckable(true);
    keepPitch_->setChecked(form.settings().readInteger(kKeepPitchSetting, 1) != 0);
    connect(keepPitch_, &QAction::toggled, this, [this](bool on) {
        form_.settings().writeInteger(kKeepPitchSetting, on ? 1 : 0);
        form_.engine().SetKeepPitch(on);
    });
    panel.addActions({separator, keepPitch_});
    panel.setContextMenuPolicy(Qt::ActionsContextMenu);
    showMode();
}

void SyncChoice::apply() {
    TDS& engine = form_.engine();
    engine.SetKeepPitch(keepPitch_->isChecked());
    if (!engine.SetSyncMode(chosen_))
        form_.statusPanel(0)->setText(oneLine(engine.OutputNotice()));
    mode_ = engine.GetSyncMode();
    problem_.clear();
    showMode();
}

void SyncChoice::choose(SyncMode mode) {
    chosen_ = mode;
    form_.settings().writeString(kSyncSetting, QString::fromLatin1(syncModeName(mode)));
    form_.runCommand([&] { apply(); });
    form_.UpdateStatusBar(1);
}

void SyncChoice::showMode() {
    actions_[static_cast<int>(mode_)]->setChecked(true);
}

void SyncChoice::watch() {
    const std::string problem = form_.engine().Sync().problem;
    if (problem != problem_ && !problem.empty())
        form_.statusPanel(0)->setText(QString::fromStdString(problem));
    problem_ = problem;
}

QString syncSuffix(const SyncState& state) {
    if (state.mode == SyncMode::Off)
        return {};
    const QString clock =
        state.mode == SyncMode::JackTransport ? QStringLiteral("JACK") : QStringLiteral("MIDI");
    return QStringLiteral(" \u00b7 %1 %2 BPM").arg(clock).arg(state.bpm, 0, 'f', 1);
}

} // namespace brev
