// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/pitch_keeper.h"

#include <gtest/gtest.h>

namespace brev {
namespace {

using std::chrono::milliseconds;

// A tempo settles once it has held within 0.1 % for a bar of itself; a ramp, a jump or a pause
// of the clock starts the bar again.
TEST(SettledTempo, SettlesAfterABarWithinATenthOfAPercent) {
    SettledTempo settled;
    const SteadyTime start{};
    // 144 BPM: a bar is 1667 ms. Jitter within 0.1 % does not restart it.
    EXPECT_FALSE(settled.observe(144, start));
    EXPECT_FALSE(settled.observe(144.1, start + milliseconds(1000)));
    EXPECT_FALSE(settled.observe(143.9, start + milliseconds(1600)));
    ASSERT_TRUE(settled.observe(144.05, start + milliseconds(1700)));
    EXPECT_EQ(*settled.observe(144, start + milliseconds(1700)), 144);

    // A ramp of 0.2 % a step never holds long enough.
    SettledTempo ramp;
    double bpm = 120;
    for (int step = 0; step < 40; ++step, bpm *= 1.002)
        EXPECT_FALSE(ramp.observe(bpm, start + milliseconds(500 * step))) << "at " << bpm;

    // No clock forgets what held.
    EXPECT_FALSE(settled.observe(0, start + milliseconds(1800)));
    EXPECT_FALSE(settled.observe(144, start + milliseconds(1900)));
}

} // namespace
} // namespace brev
