// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/twave.h"
#include "tests/support/riff_blocks.h"
#include "tests/support/test_waves.h"

#include <gtest/gtest.h>

using BrevWave::TWave;
using namespace brev::test;

TEST(WaveBuffer, EmptyWavesAndFrameCount) {
    TWave empty;
    EXPECT_EQ(empty.GetSamples(), 0);
    EXPECT_EQ(empty.GetData(), nullptr);
    const std::uint8_t byte = 1;
    TWave fromNothing(&byte, 0);
    EXPECT_EQ(fromNothing.byteLength(), 0);
    EXPECT_EQ(fromNothing.GetData(), nullptr);

    const Bytes ten = pcmBytes(10);
    TWave odd(ten.data(), 10);
    EXPECT_EQ(odd.byteLength(), 10);
    EXPECT_EQ(odd.GetSamples(), 2);
}

TEST(WaveBuffer, AssignmentCopiesSwingButKeepsOwnDivisions) {
    TWave a = rampWave(64);
    a.SetSwing(0, 4);
    TWave b = rampWave(100);
    b.SetSwing(50, 2);

    a = b;
    EXPECT_EQ(bytesOf(a), bytesOf(b));
    EXPECT_NE(a.GetData(), b.GetData());
    EXPECT_EQ(a.swing(), 50);
    EXPECT_EQ(a.GetEvenUnitSize(), b.GetEvenUnitSize());
    EXPECT_EQ(a.GetOddUnitSize(), b.GetOddUnitSize());
    std::vector<std::int32_t> divisions;
    a.GetDivisions(divisions);
    EXPECT_EQ(divisions, (std::vector<std::int32_t>{0, 16, 32, 48}));

    const Bytes before = bytesOf(a);
    const TWave& self = a;
    a = self;
    EXPECT_EQ(bytesOf(a), before);

    TWave empty;
    a = empty;
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.swing(), 0);
}

TEST(WaveBuffer, AppendConcatenates) {
    const Bytes eight = pcmBytes(8);
    TWave doubled(eight.data(), 8);
    doubled += doubled;
    ASSERT_EQ(doubled.byteLength(), 16);
    EXPECT_TRUE(std::equal(eight.begin(), eight.end(), doubled.GetData()));
    EXPECT_TRUE(std::equal(eight.begin(), eight.end(), doubled.GetData() + 8));

    TWave keep = rampWave(4);
    const Bytes before = bytesOf(keep);
    keep += TWave();
    EXPECT_EQ(bytesOf(keep), before);

    // Appending onto an empty wave takes the bytes but not the other's swing data.
    TWave target = rampWave(32);
    target.SetSwing(100, 2);
    target.SetLength(0);
    target += rampWave(8);
    EXPECT_EQ(framesOf(target), framesOf(rampWave(8)));
    EXPECT_EQ(target.swing(), 100);
    EXPECT_EQ(target.GetEvenUnitSize(), 24);
    std::vector<std::int32_t> divisions;
    target.GetDivisions(divisions);
    EXPECT_EQ(divisions, (std::vector<std::int32_t>{0, 24}));

    TWave joined;
    const TWave ramp = rampWave(400);
    for (int i = 0; i < 4; ++i) {
        TWave part;
        ramp.GetSegment(part, i, 1, 4);
        joined += part;
    }
    EXPECT_EQ(framesOf(joined), framesOf(ramp));
    EXPECT_EQ(framesOf(joined + TWave()), framesOf(ramp));
}

TEST(WaveBuffer, SetLengthCutsOrPadsWithSilence) {
    TWave wave = rampWave(10);
    wave.SetLength(13);
    auto frames = framesOf(wave);
    ASSERT_EQ(frames.size(), 13u);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(frames[k], Frame(k, -k));
    for (int k = 10; k < 13; ++k)
        EXPECT_EQ(frames[k], Frame(0, 0));

    wave.SetLength(4);
    EXPECT_EQ(framesOf(wave), framesOf(rampWave(4)));
    wave.SetLength(0);
    EXPECT_EQ(wave.byteLength(), 0);
    EXPECT_EQ(wave.GetData(), nullptr);

    // An odd-sized loaded buffer becomes whole frames.
    const Bytes ten = pcmBytes(10);
    TWave odd(ten.data(), 10);
    odd.SetLength(3);
    EXPECT_EQ(odd.byteLength(), 12);
    EXPECT_TRUE(std::equal(ten.begin(), ten.end(), odd.GetData()));
    EXPECT_EQ(odd.GetData()[10], 0);
}

TEST(WaveBuffer, FormatRecord) {
    BrevWave::WaveFormat format;
    TWave().GetWaveFormat(format);
    const std::array<std::uint8_t, 18> expected = {1,    0, 2, 0, 0x44, 0xAC, 0, 0, 0x10,
                                                   0xB1, 2, 0, 4, 0,    16,   0, 0, 0};
    EXPECT_EQ(format.encode(), expected);
}

TEST(WaveBuffer, MovesCarryEverything) {
    TWave source = rampWave(32);
    source.SetSwing(50, 4);
    std::vector<TWave> waves;
    waves.push_back(std::move(source));
    waves.emplace_back();
    waves.resize(20);
    std::vector<std::int32_t> divisions;
    waves[0].GetDivisions(divisions);
    EXPECT_EQ(divisions.size(), 4u);
    EXPECT_EQ(framesOf(waves[0]), framesOf(rampWave(32)));
    // The moved-from wave is what is checked here.
    EXPECT_EQ(source.byteLength(), 0); // NOLINT(bugprone-use-after-move)
}
