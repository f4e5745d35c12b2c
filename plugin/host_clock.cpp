// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/host_clock.h"

#include <algorithm>
#include <cmath>

namespace brev {

namespace {

constexpr double kBeatsPerBar = 4;
// Hosts give beats rounded to a tick; 1920 ticks a beat is the finest in use.
constexpr double kBeatRounding = 1.0 / 1920;

} // namespace

HostBarClock::Place HostBarClock::Place::after(double frames) const {
    const double into = framesIntoBar + frames;
    const double bars = std::floor(into / barFrames);
    return {bar + static_cast<std::int64_t>(bars), into - bars * barFrames, barFrames};
}

std::optional<HostBarClock::Place> HostBarClock::advance(const HostPosition& position,
                                                         std::uint32_t frames) {
    if (!position.playing || !(position.bpm > 0) || !std::isfinite(position.beats)) {
        running_ = false;
        return std::nullopt;
    }
    const double beatFrames = 60 / position.bpm * rate_;
    const double barFrames = kBeatsPerBar * beatFrames;
    const auto frame = static_cast<double>(position.frame);
    const double low = frame - (position.beats + kBeatRounding / 2) * beatFrames;
    const double high = frame - (position.beats - kBeatRounding / 2) * beatFrames;
    const bool runningOn = running_ && position.frame == nextFrame_ && position.bpm == bpm_ &&
                           low <= beatZeroHigh_ && high >= beatZeroLow_;
    beatZeroLow_ = runningOn ? std::max(low, beatZeroLow_) : low;
    beatZeroHigh_ = runningOn ? std::min(high, beatZeroHigh_) : high;
    const double estimate = std::round((beatZeroLow_ + beatZeroHigh_) / 2);
    const auto placeBy = [&](double beatZero) {
        const double bars = std::floor((frame - beatZero) / barFrames);
        return Place{static_cast<std::int64_t>(bars), frame - beatZero - bars * barFrames,
                     barFrames};
    };
    if (!runningOn) {
        beatZero_ = estimate;
    } else if (estimate != beatZero_) {
        const Place better = placeBy(estimate);
        if (better.framesIntoBar == 0 || better.framesIntoBar + frames > barFrames)
            beatZero_ = estimate;
    }
    running_ = true;
    bpm_ = position.bpm;
    nextFrame_ = position.frame + frames;
    return placeBy(beatZero_);
}

} // namespace brev
