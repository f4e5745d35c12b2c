// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/host_clock.h"

#include <algorithm>
#include <cmath>

namespace brev {

namespace {

constexpr double kBeatsPerBar = 4;
// Hosts give beats to a tick, 1/1920 of a beat at the finest, rounded or cut off: beat 0 lies
// within a tick of the frame a beat tells. The middle of what the beats allow then comes to the
// exact frame for a host that rounds (or gives exact beats).
constexpr double kTick = 1.0 / 1920;
// A host that tells its place only when it changes leaves the framework to count the beat on,
// in single precision: each block may add up to half a float's step within a bar of beats.
constexpr double kCountingError = 1.2e-7;

double positiveModulo(double value, double modulus) {
    return value - std::floor(value / modulus) * modulus;
}

} // namespace

HostBarClock::Place HostBarClock::Place::after(double frames) const {
    if (frames < toNextBar)
        return {bar, framesIntoBar + frames, barFrames, toNextBar - frames};
    const double bars = std::floor((frames - toNextBar) / barFrames);
    const double into = frames - toNextBar - bars * barFrames;
    return {bar + 1 + static_cast<std::int64_t>(bars), into, barFrames, barFrames - into};
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
    const bool framesRunOn = running_ && position.frame == nextFrame_ && position.bpm == bpm_;
    // Tempos change where bars start, mostly: the bar the old tempo was in may start the new
    // tempo's bars.
    if (running_ && position.frame == nextFrame_ && position.bpm != bpm_) {
        const double oldBarFrames = kBeatsPerBar * 60 / bpm_ * rate_;
        anchor_ = frame - positiveModulo(frame - beatZero_, oldBarFrames);
    }
    // While the frames run on, bars renumbered (as the framework counts them between the
    // host's messages) move nothing: beat 0 is taken in the bar nearest the one in use.
    const double told = frame - position.beats * beatFrames;
    const double renumbered =
        framesRunOn ? std::round((beatZero_ - told) / barFrames) * barFrames : 0;
    const double allowed =
        (kTick + (framesRunOn ? blocksRunOn_ + 1 : 0) * kCountingError) * beatFrames;
    const double low = told + renumbered - allowed;
    const double high = told + renumbered + allowed;
    const bool runningOn = framesRunOn && low <= beatZeroHigh_ && high >= beatZeroLow_;
    blocksRunOn_ = runningOn ? blocksRunOn_ + 1 : 0;
    beatZeroLow_ = runningOn ? std::max(low, beatZeroLow_) : low;
    beatZeroHigh_ = runningOn ? std::min(high, beatZeroHigh_) : high;
    // A host that tells few beats may never narrow beat 0 down to one frame: a bar starts at
    // the anchor whenever the beats allow it.
    const double middle = (beatZeroLow_ + beatZeroHigh_) / 2;
    const double anchored = anchor_ - std::round((anchor_ - middle) / barFrames) * barFrames;
    const double estimate =
        anchored >= beatZeroLow_ && anchored <= beatZeroHigh_ ? anchored : std::round(middle);
    const auto placeBy = [&](double beatZero) {
        const double into = positiveModulo(frame - beatZero, barFrames);
        return Place{static_cast<std::int64_t>(std::floor((frame - beatZero) / barFrames)), into,
                     barFrames, barFrames - into};
    };
    Place place = placeBy(runningOn ? beatZero_ : estimate);
    if (!runningOn) {
        beatZero_ = estimate;
    } else if (estimate != beatZero_) {
        // A better estimate takes over where its bar starts in this block, the bar played
        // until then ending there, a few frames early or late: never within a bar.
        const Place better = placeBy(estimate);
        const double start = better.framesIntoBar == 0 ? 0 : better.toNextBar;
        const std::int64_t barBefore = better.framesIntoBar == 0 ? better.bar - 1 : better.bar;
        if (start < frames && barBefore == lastBar_) {
            place = {lastBar_, frame - beatZero_ - static_cast<double>(lastBar_) * barFrames,
                     barFrames, start};
            beatZero_ = estimate;
        }
    }
    running_ = true;
    bpm_ = position.bpm;
    nextFrame_ = position.frame + frames;
    lastBar_ = frames > 0 ? place.after(frames - 1).bar : place.bar;
    return place;
}

} // namespace brev
