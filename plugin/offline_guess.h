// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

namespace brev {

// Whether the host runs blocks faster than they play: then it renders offline (an export),
// where waiting for the bars costs only time and keeps the export equal to playback. The
// plugin framework does not pass the host's freewheel flag on, so it is told by the clock: in
// real time the audio played can run ahead of the time passed by about a block or two at most
// (one callback late, the next on time); offline it runs ahead without end. Audio thread; reads
// the monotonic clock only.
class OfflineGuess {
public:
    // Counts a block of frames at rate, in blocks of at most maxBlock frames; true when the
    // host is ahead of real time by more than real time allows.
    bool ahead(std::uint32_t frames, double rate, std::uint32_t maxBlock);

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point last_{};
    double lead_ = 0; // seconds played more than passed
};

} // namespace brev
