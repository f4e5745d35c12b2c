// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plugin/host_clock.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace brev {

inline constexpr int kPatternCount = 8;

// The loop rendered by each pattern, made off the audio thread and read by it: one bar each,
// stereo, at the loop's rate. Patterns that sound alike share a bar. A bar is read across the
// host's bar however long it is, so a bar of other frames plays faster or slower (varispeed);
// one of exactly the host's bar frames plays sample for sample.
struct PreparedBars {
    struct Bar {
        std::vector<float> left;
        std::vector<float> right;
    };
    std::vector<Bar> bars;
    std::array<std::size_t, kPatternCount> barOfPattern{};
    // What they were made for: the pattern set's generation and the tempo they were stretched
    // to (0: the loop's own).
    std::uint64_t generation = 0;
    double bpm = 0;
    // Why they are not at that tempo; empty when they are.
    std::string problem;

    const Bar& bar(int pattern) const {
        return bars[barOfPattern[static_cast<std::size_t>(pattern)]];
    }
};

// Where the bars come from: asked where each bar starts, so new ones are only ever taken there.
class BarSource {
public:
    // The bars to play from this bar start on; null: none yet.
    virtual const PreparedBars* atBarStart() = 0;

protected:
    ~BarSource() = default;
};

// Audio thread: plays the host's bars, each with the bars and the pattern current when it
// started. No allocation, no lock.
class BarPlayer {
public:
    // The pattern (0 … 7) to play from the next bar start on.
    // Any thread.
    void choose(int pattern) { chosen_.store(pattern, std::memory_order_relaxed); }
    int playing() const { return playing_; }

    // Fills frames of left and right from place (silence without one or without bars), taking
    // the chosen pattern and the source's bars where a bar starts (or at once while it has none);
    // a locate starts a bar.
    void render(const std::optional<HostBarClock::Place>& place, BarSource& source,
                std::uint32_t frames, float* left, float* right);

private:
    std::atomic<int> chosen_{0};
    int playing_ = 0;
    std::int64_t bar_ = -1;
    const PreparedBars* bars_ = nullptr;
};

} // namespace brev
