// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brev {

// What playback follows: its own clock, the JACK transport, or MIDI clock on a JACK MIDI port.
enum class SyncMode : int { Off = 0, JackTransport = 1, MidiClock = 2 };

// "off", "jack", "midi": the names of the command line and the settings.
const char* syncModeName(SyncMode mode);
std::optional<SyncMode> parseSyncMode(std::string_view name);

// What the sync does at the moment, for the status bar.
struct SyncState {
    SyncMode mode = SyncMode::Off;
    bool following = false;   // an outside clock sets the tempo now
    double bpm = 0;           // that tempo; 0 while it is the loop's own
    std::uint32_t rateHz = 0; // the rate the loop plays at (0: not known)
    double clockBpm = 0;      // the clock's own tempo, without catching up; 0: it sets none
    std::string problem;      // why it does not follow (the clock stopped); empty when it does
};

} // namespace brev
