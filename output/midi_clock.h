// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/loop_player.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace brev {

// MIDI clock on the audio thread, read from bytes stamped with device frames: 24 pulses per
// quarter note give the tempo, averaged over the last beat so that jitter is not heard; Start,
// Stop, Continue and Song Position Pointer give where the song is and whether it plays.
class MidiClockFollower {
public:
    explicit MidiClockFollower(double sampleRate) noexcept : sampleRate_(sampleRate) {}

    // Each period heard starts here, before its messages: one that does not follow the last
    // one heard means periods went by unheard, and the pulses in them with them.
    void period(std::uint64_t frame, unsigned frames) noexcept;
    void receive(const unsigned char* message, std::size_t size, std::uint64_t frame) noexcept;
    // What the clock asks of the period starting at frame.
    Follow at(std::uint64_t frame) const noexcept;
    // Started, but no pulse came for half a second: the sender has gone or stopped without Stop.
    bool lost(std::uint64_t frame) const noexcept;
    // The tempo of the last beat; 0 before two pulses.
    double bpm() const noexcept;

private:
    void clearTempo() noexcept;
    void addInterval(double interval) noexcept;
    void addSpan(double interval) noexcept;
    // The pulses since the last one heard, when periods between went unheard.
    std::uint64_t pulsesAcrossUnheard(double interval) noexcept;

    double sampleRate_;
    bool armed_ = false;          // Start or Continue came: the next pulse sets the song going
    bool rolling_ = false;        // pulses move the song on
    std::uint64_t songPulse_ = 0; // song position, in pulses, of the last pulse (or the next one)
    std::uint64_t lastPulse_ = 0; // its frame
    std::array<double, 24> intervals_{};
    unsigned intervalCount_ = 0;
    unsigned nextInterval_ = 0;
    double intervalSum_ = 0;
    // The intervals between the last pulses heard, as they came, unheard pulses and all.
    std::array<double, 24> spans_{};
    unsigned spanCount_ = 0;
    unsigned nextSpan_ = 0;
    std::uint64_t nextPeriod_ = 0; // where the period after the last one heard starts
    bool unheard_ = false;         // periods went by unheard since the last pulse
};

// The MIDI messages that tell other software where playback is: Start where it starts at the
// loop's beginning (elsewhere a Song Position Pointer and Continue), a clock pulse at every 96th
// of the loop it passes (24 per beat, the loop being a bar of 4 beats), Stop where it stops.
class MidiClockSender {
public:
    // write(frameOffset, bytes, size) is called in time order for the period just rendered.
    template <typename Write>
    void period(const PeriodTrace& trace, unsigned frames, Write&& write) noexcept;

private:
    bool playing_ = false;
};

template <typename Write>
void MidiClockSender::period(const PeriodTrace& trace, unsigned frames, Write&& write) noexcept {
    using Wide = unsigned __int128;
    if (trace.played > 0 && trace.step > 0) {
        const Wide loop = Wide{trace.loopFrames} << 32;
        if (!playing_) {
            if (trace.start == 0) {
                const unsigned char start[] = {0xFA};
                write(0u, start, 1);
            } else {
                // The pointer counts sixteenth notes, 16 to the loop.
                const auto sixteenth = static_cast<unsigned>(Wide{trace.start} * 16 / loop);
                const unsigned char pointer[] = {0xF2, static_cast<unsigned char>(sixteenth & 0x7F),
                                                 static_cast<unsigned char>(sixteenth >> 7)};
                const unsigned char resume[] = {0xFB};
                write(0u, pointer, 3);
                write(0u, resume, 1);
            }
        }
        // Positions of the period unwrapped: start + i * step for frame i. Pulse k lies at
        // k / 96 of the loop, and sounds at the first frame that reaches it.
        Wide pulse = (Wide{trace.start} * 96 + loop - 1) / loop;
        for (;;) {
            const Wide at = (pulse * loop + 95) / 96;
            const Wide offset = (at - trace.start + trace.step - 1) / trace.step;
            if (offset >= trace.played)
                break;
            const unsigned char clock[] = {0xF8};
            write(static_cast<unsigned>(offset), clock, 1);
            ++pulse;
        }
    }
    const bool playingAtEnd = trace.played == frames && frames > 0;
    if ((playing_ || trace.played > 0) && !playingAtEnd) {
        const unsigned char stop[] = {0xFC};
        write(trace.played, stop, 1);
    }
    playing_ = playingAtEnd;
}

} // namespace brev
