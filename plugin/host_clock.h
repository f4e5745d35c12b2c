// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace brev {

// What a host says of its transport at the start of a block.
struct HostPosition {
    bool playing = false;
    // Beats counted from the song's start (bars × beats per bar + the beat in the bar); hosts
    // round it (to 1/1920 of a beat, say).
    double beats = 0;
    double bpm = 0;
    // The host's frame counter at the block's first frame.
    std::uint64_t frame = 0;
};

// Where the loop (one bar of four beats) is, block by block, in time with a host: the loop's
// first frame at each bar start. While the host's frames run on at one tempo, each block's
// rounded beat narrows down the frame where the song's beat 0 would be (every rounded beat
// allows a range of them), so bars start on the exact frame after a locate or a tempo change as
// soon as the host has said enough; a better estimate moves the loop only where a bar starts,
// never within one. A jump of the frames, a tempo change or a beat out of that range takes the
// host's place at once; bars renumbered while the frames run on move nothing. Audio thread; no
// allocation.
class HostBarClock {
public:
    explicit HostBarClock(double sampleRate) : rate_(sampleRate) {}

    struct Place {
        std::int64_t bar;     // bars of four beats from the song's start
        double framesIntoBar; // from the bar's first frame
        double barFrames;     // the bar's length at the tempo
        double toNextBar;     // from the first frame to the next bar's

        // The place frames later at the same tempo.
        Place after(double frames) const;
    };
    // The place of the block's first frame, then the clock moves on by frames; nothing while
    // the host stands or gives no tempo.
    std::optional<Place> advance(const HostPosition& position, std::uint32_t frames);

private:
    double rate_;
    bool running_ = false;
    std::uint64_t nextFrame_ = 0;
    double bpm_ = 0;
    // The frames where beat 0 may be, as far as the beats seen since the last jump tell.
    double beatZeroLow_ = 0;
    double beatZeroHigh_ = 0;
    // The one the loop is placed by.
    double beatZero_ = 0;
    // A frame where a bar is likely to start: the host's frame 0 (a song that holds its tempo
    // from there), or where the last tempo's bar started.
    double anchor_ = 0;
    // Blocks since the host's place was last taken.
    std::uint64_t blocksRunOn_ = 0;
    // The bar the last block ended in.
    std::int64_t lastBar_ = 0;
};

} // namespace brev
