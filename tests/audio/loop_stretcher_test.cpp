// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loop_stretcher.h"
#include "tests/support/error_of.h"
#include "tests/support/test_waves.h"

#include <gtest/gtest.h>

namespace brev {
namespace {

// Lengths that do not divide into 16 sixteenths, nor into the stretcher's blocks.
TEST(LoopStretcherTest, TheResultIsExactlyTheBarsNewLengthAtOddLengths) {
    for (int frames : {16 * 1024 - 1, 16 * 1024, 16 * 1024 + 1, 16 * 2205 + 7}) {
        const BrevWave::TWave loop = test::rampWave(frames);
        for (LoopStretch stretch : {LoopStretch{14000, 0}, LoopStretch{6000, 0}, LoopStretch{0, 3},
                                    LoopStretch{17777, -12}}) {
            const std::int64_t expected = stretchedFrames(frames, stretch);
            const BrevWave::TWave out = stretchLoop(loop, stretch);
            EXPECT_EQ(out.GetSamples(), expected) << frames << " " << stretch.targetCentiBpm;
        }
    }
}

TEST(LoopStretcherTest, TheOwnTempoWithoutPitchLeavesTheLoopAsItIs) {
    const BrevWave::TWave loop = test::rampWave(88200); // 120 BPM
    for (int own : {0, 12000}) {
        EXPECT_FALSE(changesLoop(88200, {own, 0}));
        EXPECT_EQ(test::bytesOf(stretchLoop(loop, {own, 0})), test::bytesOf(loop)) << own;
    }
    EXPECT_TRUE(changesLoop(88200, {12001, 0}));
    // Fewer frames than sixteenths have no tempo: the cutter refuses them, not the stretcher.
    EXPECT_FALSE(changesLoop(15, {14000, 5}));
}

// The loop as loaded is kept once beside the stretched one; refused, the loop stays as loaded.
TEST(LoopStretcherTest, ALoadedLoopIsKeptBesideItsStretch) {
    const BrevWave::TWave loop = test::rampWave(16 * 1024 + 1);
    StretchedAudio stretched = stretchLoaded({loop, "mono"}, {14000, 2});
    EXPECT_EQ(test::bytesOf(stretched.unstretched), test::bytesOf(loop));
    EXPECT_EQ(test::bytesOf(stretched.audio.wave), test::bytesOf(stretchLoop(loop, {14000, 2})));
    EXPECT_EQ(stretched.audio.convertedFrom, "mono");
    EXPECT_TRUE(stretched.problem.empty());
    stretched = stretchLoaded({loop, {}}, {2000, 0}); // 32 times slower
    EXPECT_EQ(test::bytesOf(stretched.audio.wave), test::bytesOf(loop));
    EXPECT_EQ(stretched.unstretched.GetSamples(), 0);
    EXPECT_FALSE(stretched.problem.empty());
}

TEST(LoopStretcherTest, ATempoTooFarFromTheLoopsOwnIsRefusedWithBoth) {
    const BrevWave::TWave loop = test::rampWave(16 * 100); // 6615 BPM
    EXPECT_EQ(test::errorOf([&] {
                  stretchLoop(loop, {2000, 0});
              }),
              "Cannot stretch the loop from its own 6615.00 BPM to 20.00 BPM: at most 16 times "
              "slower or faster");
}

} // namespace
} // namespace brev
