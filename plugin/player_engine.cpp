// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/player_engine.h"

#include <chrono>
#include <cmath>

namespace brev {

namespace {

// An export may wait this long for its bars; a host that renders offline loses only time.
constexpr std::chrono::seconds kOfflineWait{60};

} // namespace

void PlayerEngine::setRate(double rate) {
    clock_ = HostBarClock(rate);
    rate_ = rate;
}

void PlayerEngine::begin(const HostPosition& position, std::uint32_t frames,
                         std::uint32_t maxBlock) {
    // To the hundredth a loop's tempo is set to: a host's float noise makes no new bars.
    if (position.bpm > 0)
        supply_.want(keepPitch_ ? std::round(position.bpm * 100) / 100 : 0);
    if (offline_.ahead(frames, rate_, maxBlock))
        supply_.waitUntilMade(kOfflineWait);
    place_ = clock_.advance(position, frames);
    done_ = 0;
}

void PlayerEngine::renderTo(std::uint32_t end, float* left, float* right) {
    if (end <= done_)
        return;
    const auto from = place_ ? std::optional(place_->after(done_)) : std::nullopt;
    player_.render(from, supply_, end - done_, left + done_, right + done_);
    done_ = end;
}

} // namespace brev
