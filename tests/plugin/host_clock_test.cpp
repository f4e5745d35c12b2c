// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/host_clock.h"

#include <cmath>
#include <gtest/gtest.h>

namespace brev {
namespace {

// A host that rounds its beats to 1/1920 plays, locates, changes tempo, renumbers its bars and
// stops: bars start on their exact first frame from the song's start, and from the first bar
// start after a locate or a tempo change; before that, the place is as near as one rounded beat
// tells, and it never moves within a bar. A host that tells its beat only once a beat, the
// framework counting on between, is exact from its frame 0 and through a tempo change at a bar
// start; one that tells it once, the framework counting on in single precision, stays exact.
TEST(HostBarClock, BarsStartOnTheirFrameThroughRoundedBeatsJumpsAndTempo) {
    HostBarClock clock(44100);
    // How the beat reaches the clock: told every block, told where a beat starts and counted
    // on exactly between, or told once (its tick cut off) and counted on in single precision,
    // as the framework counts for a host that tells its place only when it changes.
    enum class Telling { EveryBlock, EachBeat, OnceThenInFloat };
    // Blocks from frame `from` on, at bpm with the song's beat 0 at frame zero; counts the
    // blocks whose place is not exact once it must be, or moved within a bar.
    const auto play = [&](std::uint64_t from, std::uint64_t to, double bpm, double zero,
                          bool exactAtOnce, std::uint32_t block = 256,
                          Telling telling = Telling::EveryBlock) {
        const double beatFrames = 60 / bpm * 44100;
        const double tick = beatFrames / 3840 + 0.5;
        int wrong = 0;
        bool mustBeExact = exactAtOnce;
        std::optional<HostBarClock::Place> last;
        double told = 0;
        double toldAt = 0;
        double barsCounted = 0;
        float beatInBar = 0;
        for (std::uint64_t frame = from; frame < to; frame += block) {
            const double beats = (static_cast<double>(frame) - zero) / beatFrames;
            double counted = 0;
            if (telling == Telling::OnceThenInFloat) {
                if (!last) {
                    barsCounted = std::floor(beats / 4);
                    beatInBar =
                        static_cast<float>(std::floor(beats * 1920) / 1920 - barsCounted * 4);
                }
                counted = barsCounted * 4 + beatInBar;
                barsCounted += std::floor((beatInBar + block / beatFrames) / 4);
                beatInBar = static_cast<float>(std::fmod(beatInBar + block / beatFrames, 4.0));
            } else {
                if (telling == Telling::EveryBlock || !last ||
                    std::floor(beats) != std::floor(told)) {
                    told = std::round(beats * 1920) / 1920;
                    toldAt = static_cast<double>(frame);
                }
                counted = told + (static_cast<double>(frame) - toldAt) / beatFrames;
            }
            const auto place = clock.advance({true, counted, bpm, frame}, block);
            const double exact = std::fmod(static_cast<double>(frame) - zero, 4 * beatFrames);
            const double off = std::fabs(place->framesIntoBar - exact);
            if (mustBeExact ? off != 0 : off > tick)
                ++wrong;
            if (last && place->bar == last->bar &&
                place->framesIntoBar != last->after(block).framesIntoBar)
                ++wrong;
            mustBeExact = mustBeExact || exact + block > 4 * beatFrames;
            last = place;
        }
        return wrong;
    };
    EXPECT_EQ(play(0, 3 * 75600, 140, 0, true), 0);
    EXPECT_EQ(play(10 * 75600 + 100, 13 * 75600, 140, 0, false), 0); // located
    // 120 BPM from bar 13 on, its beats going on from there.
    const std::uint64_t change = 13 * 75600 - 13 * 75600 % 256 + 256;
    const double zero = 13 * 75600 - 52 * 22050.0;
    const std::uint64_t later = change + 1034 * 256;
    EXPECT_EQ(play(change, later, 120, zero, false), 0);
    // Numbered a bar less from here on, frames running on (as the framework counts bars
    // between the host's messages): the place is kept.
    EXPECT_EQ(play(later, later + 700 * 256, 120, zero + 88200, true), 0);
    EXPECT_FALSE(clock.advance({false, 0, 120, 0}, 256));
    EXPECT_EQ(play(0, 4 * 75600, 140, 0, true, 64, Telling::EachBeat), 0);
    EXPECT_EQ(play(4 * 75600, 4 * 75600 + 3 * 88200, 120, 4 * 75600 - 16 * 22050, true, 64,
                   Telling::EachBeat),
              0);
    // Located where the cut-off tick is nearly a whole one, then two minutes of blocks counted
    // on by the framework.
    EXPECT_EQ(play(840922, 840922 + 120 * 44100, 140, 0, false, 256, Telling::OnceThenInFloat), 0);
}

} // namespace
} // namespace brev
