// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/twave.h"
#include "tests/support/error_of.h"
#include "tests/support/riff_blocks.h"
#include "tests/support/test_waves.h"

#include <functional>
#include <gtest/gtest.h>

using BrevWave::TWave;
using namespace brev::test;

namespace {

std::vector<int> divisionsOf(const TWave& wave) {
    std::vector<std::int32_t> divisions;
    wave.GetDivisions(divisions);
    return {divisions.begin(), divisions.end()};
}

} // namespace

TEST(Swing, DivisionsOfATwoSecondLoop) {
    const TWave loop = rampWave(88200);
    const struct {
        int swing, even, odd, entry1, entry15, last;
    } cases[] = {
        {0, 5512, 5512, 5512, 82680, 5520},
        {33, 6421, 4603, 6421, 83589, 4611},
        {50, 6890, 4134, 6890, 84058, 4142},
        {100, 8268, 2756, 8268, 85436, 2764},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.swing);
        TWave wave = loop;
        wave.SetSwing(c.swing, 16);
        EXPECT_EQ(wave.swing(), c.swing);
        EXPECT_EQ(wave.GetEvenUnitSize(), c.even);
        EXPECT_EQ(wave.GetOddUnitSize(), c.odd);
        const auto divisions = divisionsOf(wave);
        ASSERT_EQ(divisions.size(), 16u);
        EXPECT_EQ(divisions[0], 0);
        EXPECT_EQ(divisions[1], c.entry1);
        EXPECT_EQ(divisions[15], c.entry15);
        // Even-position starts do not move with swing.
        for (int k = 0; k < 16; k += 2)
            EXPECT_EQ(divisions[k], k * 5512);

        int total = 0;
        for (int k = 0; k < 16; ++k) {
            TWave segment = rampWave(4);
            segment.SetSwing(0, 1); // divisions of the output must survive the copy
            wave.GetSegmentSwing(segment, k);
            const int expected = k == 15 ? c.last : (k % 2 == 0 ? c.even : c.odd);
            ASSERT_EQ(segment.GetSamples(), expected) << k;
            EXPECT_EQ(framesOf(segment).front().first, divisions[k] % 30000);
            EXPECT_EQ(segment.swing(), 0);
            EXPECT_EQ(segment.GetEvenUnitSize(), 0);
            EXPECT_EQ(divisionsOf(segment), std::vector<int>{0});
            total += segment.GetSamples();
        }
        EXPECT_EQ(total, 88200);
    }
}

TEST(Swing, RefusedInput) {
    TWave wave = rampWave(64);
    wave.SetSwing(20, 4);
    const auto divisions = divisionsOf(wave);
    for (const auto& input : {std::pair{101, 16}, {-1, 16}, {0, 0}}) {
        EXPECT_EQ(errorOf([&] { wave.SetSwing(input.first, input.second); }),
                  "TWave::SetSwing() - bad input");
        EXPECT_EQ(wave.swing(), 20);
        EXPECT_EQ(divisionsOf(wave), divisions);
    }

    TWave short15 = rampWave(15);
    short15.SetSwing(10, 2);
    EXPECT_EQ(errorOf([&] { short15.SetSwing(40, 16); }), "TWave::SetSwing() - UnitSize 0");
    EXPECT_EQ(short15.swing(), 40);
    EXPECT_EQ(divisionsOf(short15), (std::vector<int>{0, 7}));
    EXPECT_EQ(short15.GetEvenUnitSize(), 7);

    TWave fresh = rampWave(64);
    TWave output = rampWave(3);
    EXPECT_EQ(errorOf([&] { fresh.GetSegmentSwing(output, 0); }),
              "GetSegmentSwing() called with 0 size divisions array");
    fresh.SetSwing(0, 16);
    for (int index : {16, -1})
        EXPECT_EQ(errorOf([&] { fresh.GetSegmentSwing(output, index); }),
                  "TWave::GetSegmentSwing() - Offset out of bounds");
    // Divisions left behind by a shortened buffer are refused, not read past the end.
    fresh.SetLength(30);
    EXPECT_EQ(errorOf([&] { fresh.GetSegmentSwing(output, 9); }),
              "TWave::GetSegmentSwing() - Offset out of bounds");
    EXPECT_EQ(framesOf(output), framesOf(rampWave(3)));
}

TEST(EqualParts, RoundingAndRefusals) {
    const TWave slot = rampWave(5512);
    TWave part;
    slot.GetSegment(part, 0, 1, 3);
    EXPECT_EQ(part.GetSamples(), 1837);
    slot.GetSegment(part, 1, 2, 3);
    ASSERT_EQ(part.GetSamples(), 3674);
    EXPECT_EQ(framesOf(part).front().first, 1837);
    EXPECT_EQ(framesOf(part).back().first, 5510);

    // A 10-byte buffer is 2 whole frames: halves are one frame each.
    const Bytes ten = pcmBytes(10);
    TWave odd(ten.data(), 10);
    odd.GetSegment(part, 1, 1, 2);
    EXPECT_EQ(bytesOf(part), Bytes(ten.begin() + 4, ten.begin() + 8));

    const TWave before = rampWave(2);
    part = before;
    const struct {
        int first, count, whole;
        const char* message;
    } refused[] = {
        {0, 0, 3, "GetSegment - Illegal Length"},
        {-1, 0, 3, "GetSegment - Illegal Length"},
        {0, 1, 0, "GetSegment - Offset out of bounds"},
        {-1, 1, 3, "GetSegment - Offset out of bounds"},
        {3, 1, 3, "GetSegment - Offset out of bounds"},
        {2, 2, 3, "GetSegment - Too greedy"},
        {0, 1, 5513, "GetSegment - SegmentSize 0"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.message);
        EXPECT_EQ(errorOf([&] { slot.GetSegment(part, r.first, r.count, r.whole); }), r.message);
        EXPECT_EQ(framesOf(part), framesOf(before));
    }
    EXPECT_EQ(errorOf([&] { rampWave(1).GetSegment(part, 0, 1, 2); }),
              "GetSegment - SegmentSize 0");
}
