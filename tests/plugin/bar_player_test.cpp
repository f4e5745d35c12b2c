// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/bar_player.h"

#include <gtest/gtest.h>
#include <numeric>

namespace brev {
namespace {

// Bars as long as the host's play sample for sample, each with the pattern chosen before it
// started; a bar half as long plays at twice the speed; nothing plays while the host stands.
TEST(BarPlayer, EachBarPlaysThePatternChosenBeforeItSampleForSample) {
    struct : BarSource {
        PreparedBars bars;
        const PreparedBars* atBarStart() override { return &bars; }
    } source;
    for (int pattern : {0, 1}) {
        std::vector<float> bar(1000);
        std::iota(bar.begin(), bar.end(), pattern * 10000.0f);
        source.bars.bars.push_back({bar, bar});
        source.bars.barOfPattern[pattern] = pattern;
    }
    BarPlayer player;
    std::vector<float> left(300), right(300);
    player.render(HostBarClock::Place{0, 900, 1000, 100}, source, 300, left.data(), right.data());
    EXPECT_EQ(left[0], 900);
    EXPECT_EQ(left[150], 50); // the next bar, from its first sample
    player.choose(1);
    player.render(HostBarClock::Place{1, 200, 1000, 800}, source, 300, left.data(), right.data());
    EXPECT_EQ(left[0], 200); // chosen within the bar: from the next one
    player.render(HostBarClock::Place{1, 900, 1000, 100}, source, 300, left.data(), right.data());
    EXPECT_EQ(left[99], 999);
    EXPECT_EQ(right[100], 10000);
    player.render(HostBarClock::Place{2, 100, 500, 400}, source, 2, left.data(), right.data());
    EXPECT_EQ(left[1], 10202);
    player.render(std::nullopt, source, 300, left.data(), right.data());
    EXPECT_EQ(left[0] + right[299], 0);
}

} // namespace
} // namespace brev
