// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plugin/bar_player.h"
#include "plugin/bar_supply.h"
#include "plugin/host_clock.h"
#include "plugin/offline_guess.h"
#include "plugin/player_settings.h"

#include <cstdint>
#include <optional>

namespace brev {

// The pattern player without the plugin framework: the host's block in, the loop re-arranged
// by the chosen pattern out, in time with the host's bars. A block is begun with the host's
// place, then rendered in parts, so that a pattern chosen at a frame of it counts from there.
// Audio thread, except settings(), which the host's other threads use.
class PlayerEngine {
public:
    explicit PlayerEngine(double rate) : clock_(rate), rate_(rate) {}

    PlayerSettings& settings() { return settings_; }
    const PlayerSettings& settings() const { return settings_; }
    void setRate(double rate);
    // Pattern 0 … 7, from the next bar start on.
    void choose(int pattern) { player_.choose(pattern); }
    // On: bars stretched to the host's tempo keeping pitch, once made; off: varispeed.
    void setKeepPitch(bool on) { keepPitch_ = on; }

    // A block of frames begins at the host's position; the host's blocks are at most maxBlock.
    // Offline, it waits here until the bars for the host's tempo are made.
    void begin(const HostPosition& position, std::uint32_t frames, std::uint32_t maxBlock);
    // Renders the block's frames from where the last call ended to end.
    void renderTo(std::uint32_t end, float* left, float* right);

private:
    BarSupply supply_;
    PlayerSettings settings_{supply_};
    HostBarClock clock_;
    double rate_;
    OfflineGuess offline_;
    BarPlayer player_;
    bool keepPitch_ = true;
    std::optional<HostBarClock::Place> place_;
    std::uint32_t done_ = 0;
};

} // namespace brev
