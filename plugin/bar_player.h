// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plugin/host_clock.h"

#include <array>
#include <cstdint>
#include <vector>

namespace brev {

inline constexpr int kPatternCount = 8;

// The loop rendered by each pattern, made off the audio thread and read by it: one bar each,
// stereo. A bar is read across the host's bar however long it is, so a bar of other frames
// plays faster or slower (varispeed); one of exactly the host's bar frames plays sample for
// sample.
struct PreparedBars {
    std::array<std::vector<float>, kPatternCount> left;
    std::array<std::vector<float>, kPatternCount> right;
};

// Audio thread: plays the host's bars, each with the pattern chosen when it started. No
// allocation, no lock.
class BarPlayer {
public:
    // The pattern (0 … 7) to play from the next bar start on.
    void choose(int pattern) { chosen_ = pattern; }
    int playing() const { return playing_; }

    // Fills frames of left and right from place (silence without one, or where the pattern has
    // no bar), taking the chosen pattern where a bar starts.
    void render(const std::optional<HostBarClock::Place>& place, const PreparedBars& bars,
                std::uint32_t frames, float* left, float* right);

private:
    int chosen_ = 0;
    int playing_ = 0;
    std::int64_t bar_ = -1;
};

} // namespace brev
