// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/sync_mode.h"

#include <QList>
#include <QObject>
#include <QString>
#include <string>

class QAction;

namespace brev {

class EditorContext;
class StatusPanel;

// The sync choice, offered by the context menu of the playback status panel: play on the own
// clock, follow the JACK transport, or follow MIDI clock. The choice is kept in the settings
// ("Sync") and given to every engine the editor opens; where it cannot be followed (no JACK
// server) the status bar says why and the menu shows what plays. Below them "Keep pitch", also
// kept ("Keep pitch"), on by default: a followed tempo is met by stretching the loop, not by
// changing its rate and pitch.
class SyncChoice : public QObject {
public:
    SyncChoice(EditorContext& form, StatusPanel& panel);

    SyncMode mode() const { return mode_; }
    // Gives the choice, and "Keep pitch", to the engine just opened.
    void apply();
    // Says in the status bar when the clock followed stops.
    void watch();

private:
    void choose(SyncMode mode);
    void showMode();

    EditorContext& form_;
    QList<QAction*> actions_; // in SyncMode order
    QAction* keepPitch_ = nullptr;
    SyncMode chosen_;
    SyncMode mode_ = SyncMode::Off;
    std::string problem_;
};

// What the playback panel adds for the clock followed: " · JACK 140.0 BPM"; empty with sync off.
QString syncSuffix(const SyncState& state);

} // namespace brev
