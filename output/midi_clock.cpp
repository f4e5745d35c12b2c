// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/midi_clock.h"

#include <algorithm>
#include <cmath>

namespace brev {

namespace {

constexpr unsigned kPulsesPerBeat = 24;
constexpr double kLostSeconds = 0.5;
// Pulses closer than a clock of 600 BPM gives came late, together.
constexpr double kLatePulseSeconds = 60.0 / (600 * kPulsesPerBeat);

} // namespace

void MidiClockFollower::clearTempo() noexcept {
    intervalCount_ = 0;
    nextInterval_ = 0;
    intervalSum_ = 0;
    spanCount_ = 0;
    nextSpan_ = 0;
}

void MidiClockFollower::addInterval(double interval) noexcept {
    if (intervalCount_ == intervals_.size())
        intervalSum_ -= intervals_[nextInterval_];
    else
        ++intervalCount_;
    intervals_[nextInterval_] = interval;
    intervalSum_ += interval;
    nextInterval_ = (nextInterval_ + 1) % static_cast<unsigned>(intervals_.size());
}

void MidiClockFollower::addSpan(double interval) noexcept {
    spans_[nextSpan_] = interval;
    spanCount_ = std::min(spanCount_ + 1, static_cast<unsigned>(spans_.size()));
    nextSpan_ = (nextSpan_ + 1) % static_cast<unsigned>(spans_.size());
}

void MidiClockFollower::period(std::uint64_t frame, unsigned frames) noexcept {
    unheard_ = unheard_ || frame != nextPeriod_;
    nextPeriod_ = frame + frames;
}

std::uint64_t MidiClockFollower::pulsesAcrossUnheard(double interval) noexcept {
    if (interval < kLatePulseSeconds * sampleRate_)
        return 0;
    addSpan(interval);
    // A beat's intervals surely hold one of a single pulse: the shortest tells how many pulses
    // this one spans, for the tempo; the median interval of the tempo then counts them. Told by
    // the tempo alone, one misread at twice the clock's would hold itself there.
    const double shortest = *std::min_element(spans_.begin(), spans_.begin() + spanCount_);
    addInterval(interval / std::max(1.0, std::round(interval / shortest)));
    std::array<double, 24> sorted = intervals_;
    const auto median = sorted.begin() + intervalCount_ / 2;
    std::nth_element(sorted.begin(), median, sorted.begin() + intervalCount_);
    return static_cast<std::uint64_t>(std::max(1.0, std::round(interval / *median)));
}

void MidiClockFollower::receive(const unsigned char* message, std::size_t size,
                                std::uint64_t frame) noexcept {
    // Real-time messages are one byte long; a longer one with such a status byte is none of them.
    if (size == 0 || (message[0] >= 0xF8 && size != 1))
        return;
    switch (message[0]) {
    case 0xF8: // clock
        if (armed_) {
            armed_ = false;
            rolling_ = true;
            clearTempo();
        } else if (rolling_) {
            const double interval = static_cast<double>(frame - lastPulse_);
            // A pause of the sender is no tempo.
            if (interval > kLostSeconds * sampleRate_) {
                ++songPulse_;
                clearTempo();
            } else if (unheard_) {
                songPulse_ += pulsesAcrossUnheard(interval);
            } else {
                ++songPulse_;
                addSpan(interval);
                addInterval(interval);
            }
        }
        lastPulse_ = frame;
        unheard_ = false;
        break;
    case 0xFA: // start: the song from its beginning at the next pulse
        songPulse_ = 0;
        armed_ = true;
        rolling_ = false;
        break;
    case 0xFB: // continue: from the song position at the next pulse
        armed_ = true;
        rolling_ = false;
        break;
    case 0xFC: // stop
        armed_ = false;
        rolling_ = false;
        break;
    case 0xF2: // song position pointer, in sixteenth notes; only while stopped
        if (size >= 3 && !rolling_)
            songPulse_ = (std::uint64_t{message[2]} << 7 | message[1]) * 6;
        break;
    default:
        break;
    }
}

double MidiClockFollower::bpm() const noexcept {
    if (intervalCount_ == 0 || intervalSum_ <= 0)
        return 0;
    return 60 * sampleRate_ * intervalCount_ / (kPulsesPerBeat * intervalSum_);
}

bool MidiClockFollower::lost(std::uint64_t frame) const noexcept {
    return rolling_ && frame > lastPulse_ &&
           static_cast<double>(frame - lastPulse_) > kLostSeconds * sampleRate_;
}

Follow MidiClockFollower::at(std::uint64_t frame) const noexcept {
    Follow follow;
    follow.rolling = rolling_ && !lost(frame);
    // Clock from software is exact to the frame, bridged hardware within a millisecond or so.
    follow.slackSeconds = 0.005;
    follow.bpm = bpm();
    double pulses = static_cast<double>(songPulse_);
    if (follow.bpm > 0) {
        // Between pulses by the tempo; a pulse stamped later in the period counts back. Past a
        // pulse that is late, or the last one of a clock that stopped, the song goes on at the
        // tempo until the clock counts as lost: held at one place, the loop would be pulled
        // back to it again and again, stepping over its end each time.
        const double interval = intervalSum_ / intervalCount_;
        const double since = static_cast<double>(static_cast<std::int64_t>(frame - lastPulse_));
        pulses += since / interval;
    }
    follow.beats = pulses < 0 ? 0 : pulses / kPulsesPerBeat;
    return follow;
}

} // namespace brev
