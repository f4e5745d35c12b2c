// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/pitch_keeper.h"

#include <gtest/gtest.h>

namespace brev {
namespace {

using std::chrono::milliseconds;

// A tempo settles once it has held within 0.1 % for a beat of itself; a ramp, a jump or a pause
// of the clock starts the beat again.
TEST(SettledTempo, SettlesAfterABarWithinATenthOfAPercent) {
    SettledTempo settled;
    const SteadyTime start{};
    // 144 BPM: a beat is 417 ms. Jitter within 0.1 % does not restart it.
    EXPECT_FALSE(settled.observe(144, start));
    EXPECT_FALSE(settled.observe(144.1, start + milliseconds(200)));
    EXPECT_FALSE(settled.observe(143.9, start + milliseconds(400)));
    ASSERT_TRUE(settled.observe(144.05, start + milliseconds(420)));
    EXPECT_EQ(*settled.observe(144, start + milliseconds(420)), 144);

    // A ramp of 0.2 % a step never holds long enough.
    SettledTempo ramp;
    double bpm = 120;
    for (int step = 0; step < 40; ++step, bpm *= 1.002)
        EXPECT_FALSE(ramp.observe(bpm, start + milliseconds(300 * step))) << "at " << bpm;

    // No clock forgets what held.
    EXPECT_FALSE(settled.observe(0, start + milliseconds(500)));
    EXPECT_FALSE(settled.observe(144, start + milliseconds(600)));
}

} // namespace
} // namespace brev
