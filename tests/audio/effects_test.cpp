// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/sample_math.h"
#include "audio/twave.h"
#include "tests/support/riff_blocks.h"
#include "tests/support/test_waves.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using BrevWave::TWave;
using namespace brev::test;

namespace {

int changedCount(const std::vector<int>& samples, int original) {
    return static_cast<int>(
        std::count_if(samples.begin(), samples.end(), [&](int s) { return s != original; }));
}

// Every 16-bit value once: 32768 frames.
TWave everySample() {
    std::vector<Frame> frames;
    for (int v = -32768; v < 32768; v += 2)
        frames.emplace_back(v, v + 1);
    return waveOf(frames);
}

} // namespace

TEST(Fades, CurvesOnFlatFrames) {
    const struct {
        const char* name;
        int value;
        bool fadeIn, linear;
        std::vector<int> expected;
    } cases[] = {
        {"linear in", 1000, true, true, {0, 250, 500, 750, 1000, 1000}},
        {"linear out", 1000, false, true, {1000, 1000, 1000, 750, 500, 250}},
        {"log in", 1000, true, false, {1, 1, 3, 63, 1000, 1000}},
        {"log in loud", 10000, true, false, {1, 2, 39, 630, 10000, 10000}},
        {"log out loud", 10000, false, false, {10000, 10000, 10000, 630, 39, 2}},
        {"log over silence", 0, true, false, {1, 1, 1, 1, 0, 0}},
        {"linear over silence", 0, false, true, {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TWave wave = flatWave(6, c.value);
        if (c.fadeIn)
            wave.ApplyFadeIn(4, 0, c.linear);
        else
            wave.ApplyFadeOut(4, 0, c.linear);
        EXPECT_EQ(leftOf(wave), c.expected);
        EXPECT_EQ(rightOf(wave), c.expected);
    }

    // A fade longer than the slot covers all of it.
    TWave shortSlot = flatWave(10, 1000);
    shortSlot.ApplyFadeIn(50, 0, true);
    EXPECT_EQ(leftOf(shortSlot),
              (std::vector<int>{0, 100, 200, 300, 400, 500, 600, 700, 800, 900}));
}

TEST(Fades, AngleOffsetLengthensOneChannel) {
    const struct {
        int length, offset;
        bool fadeIn;
        int left, right;
    } cases[] = {
        {100, 742, true, 842, 100},   {100, 742, false, 100, 842},   {100, -742, true, 100, 842},
        {100, -742, false, 842, 100}, {0, 742, true, 742, 0},        {0, 742, false, 0, 742},
        {100, 0, true, 100, 100},     {3000, 742, true, 2000, 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " " << c.offset << " " << c.fadeIn);
        TWave wave = flatWave(2000, 1000);
        if (c.fadeIn)
            wave.ApplyFadeIn(c.length, c.offset, true);
        else
            wave.ApplyFadeOut(c.length, c.offset, true);
        // The first frame of a fade-out keeps factor 1.
        const int unchangedByFade = c.fadeIn ? 0 : 1;
        EXPECT_EQ(changedCount(leftOf(wave), 1000), std::max(0, c.left - unchangedByFade));
        EXPECT_EQ(changedCount(rightOf(wave), 1000), std::max(0, c.right - unchangedByFade));
        // The faded frames sit at the start of a fade-in and at the end of a fade-out.
        const auto left = leftOf(wave);
        if (c.left > 0) {
            EXPECT_NE(left[c.fadeIn ? 0 : 1999], 1000);
        }
    }
}

TEST(Volume, LevelForm) {
    const struct {
        int sample, volume, expected;
    } cases[] = {
        {1000, -6, 501},     {1000, 6, 1995},   {-1000, -6, -501}, {0, -6, 1},
        {0, 20, 10},         {20000, 6, 32767}, // saturates instead of wrapping round to -25631
        {-20000, 6, -32768},                    // the same downwards
        {-32768, 0, -32768}, {1234, 0, 1234},   {0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sample << " at " << c.volume << " dB");
        TWave wave = waveOf({{c.sample, c.sample}});
        wave.ApplyVolume(-c.volume);
        EXPECT_EQ(framesOf(wave), (std::vector<Frame>{{c.expected, c.expected}}));
    }
}

TEST(Volume, FastPathMatchesTheFormula) {
    const TWave all = everySample();
    const auto left = leftOf(all);
    const auto right = rightOf(all);
    for (int attenuation = -30; attenuation <= 30; ++attenuation) {
        if (attenuation == 0)
            continue; // no change at all, tested above
        TWave wave = all;
        wave.ApplyVolume(attenuation);
        const auto gotLeft = leftOf(wave);
        const auto gotRight = rightOf(wave);
        int mismatches = 0;
        for (std::size_t i = 0; i < left.size(); ++i) {
            mismatches += gotLeft[i] != brev::changeLevelReference(left[i], attenuation);
            mismatches += gotRight[i] != brev::changeLevelReference(right[i], attenuation);
        }
        EXPECT_EQ(mismatches, 0) << "attenuation " << attenuation;
    }
    // The fade attenuations are fractional.
    for (int length : {4, 100, 300}) {
        int mismatches = 0;
        for (int position = 0; position <= length; position += 7) {
            const double attenuation = brev::logFadeAttenuation(position, length);
            for (int s = -32768; s < 32768; ++s)
                mismatches +=
                    brev::changeLevel(s, attenuation) != brev::changeLevelReference(s, attenuation);
        }
        EXPECT_EQ(mismatches, 0) << "fade length " << length;
    }
}

TEST(Deckstop, SlowsDownStepByStep) {
    std::vector<std::int16_t> input;
    for (int k = 0; k < 8; ++k)
        input.insert(input.end(),
                     {static_cast<std::int16_t>(100 * k), static_cast<std::int16_t>(-100 * k)});
    std::vector<std::int16_t> output(input.size());
    EXPECT_EQ(brev::deckstopStretch(input.data(), output.data(), 8, 2), 4);
    const std::vector<int> expected = {0, 100, 150, 200, 250, 300, 333, 366};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(output[2 * i], expected[i]);
        EXPECT_EQ(output[2 * i + 1], -expected[i]);
    }

    const TWave slot = rampWave(5512);
    std::vector<std::int16_t> stretched(5512 * 2);
    std::vector<std::int16_t> source(5512 * 2);
    std::memcpy(source.data(), slot.GetData(), source.size() * 2);
    for (auto [step, used] : {std::pair{1001, 2838}, {1, 104}, {1981, 3746}}) {
        EXPECT_EQ(brev::deckstopStretch(source.data(), stretched.data(), 5512, step), used)
            << "step " << step;
    }
}

TEST(Deckstop, InPlaceMatchesTheTwoBufferForm) {
    for (int frames : {1, 2, 5, 120, 5511, 5512}) {
        for (int step : {1, 2, 3, 101, 1001, 1981}) {
            std::vector<std::int16_t> input(static_cast<std::size_t>(frames) * 2);
            for (std::size_t i = 0; i < input.size(); ++i)
                input[i] = static_cast<std::int16_t>((i * 7919 + i * i * 31) % 65536 - 32768);
            std::vector<std::int16_t> expected(input.size());
            const int used = brev::deckstopStretch(input.data(), expected.data(), frames, step);
            std::vector<std::uint8_t> pcm(input.size() * 2);
            std::memcpy(pcm.data(), input.data(), pcm.size());
            EXPECT_EQ(brev::deckstopStretchInPlace(pcm.data(), frames, step), used);
            EXPECT_EQ(std::memcmp(pcm.data(), expected.data(), pcm.size()), 0)
                << frames << " frames, step " << step;
        }
    }
}

TEST(Deckstop, EndsWithALogFade) {
    for (int frames : {5512, 120}) {
        SCOPED_TRACE(frames);
        TWave wave = rampWave(frames);
        std::vector<std::int16_t> source(static_cast<std::size_t>(frames) * 2);
        std::memcpy(source.data(), wave.GetData(), source.size() * 2);
        std::vector<std::int16_t> stretched(source.size());
        brev::deckstopStretch(source.data(), stretched.data(), frames, 101);
        TWave expected(stretched.data(), frames * 4);
        expected.ApplyFadeOut(300, 0, false);
        wave.Deckstop(101);
        EXPECT_EQ(framesOf(wave), framesOf(expected));
        // Only the last 300 frames (or all of a short slot) are faded.
        const auto left = leftOf(wave);
        const int unfaded = std::max(0, frames - 300);
        for (int k = 1; k < unfaded; k += 97)
            EXPECT_EQ(left[k], stretched[2 * k]);
        EXPECT_LT(left[frames - 2], stretched[2 * (frames - 2)]);
    }

    TWave untouched = rampWave(50);
    untouched.Deckstop(0);
    EXPECT_EQ(framesOf(untouched), framesOf(rampWave(50)));
    TWave empty;
    empty.Deckstop(5);
    EXPECT_EQ(empty.byteLength(), 0);
}

TEST(RepeatsAndStaccato, Lengths) {
    const TWave slot = rampWave(5512);
    const auto source = framesOf(slot);

    TWave four = slot;
    four.ApplyRepeats(4, 0);
    auto frames = framesOf(four);
    for (int k = 0; k < 5512; k += 13)
        EXPECT_EQ(frames[k], source[k % 1378]) << k;

    TWave three = slot;
    three.ApplyRepeats(3, 0);
    frames = framesOf(three);
    for (int k = 0; k < 5511; k += 11)
        EXPECT_EQ(frames[k], source[k % 1837]) << k;
    EXPECT_EQ(frames[5511], Frame(0, 0));

    TWave staccato = flatWave(5512, 8000);
    staccato.ApplyStaccato(2, 100);
    const auto left = leftOf(staccato);
    EXPECT_EQ(changedCount(std::vector<int>(left.begin(), left.begin() + 2756), 8000), 99);
    EXPECT_EQ(left[2656], 8000);
    EXPECT_LT(left[2657], 8000);
    EXPECT_EQ(left[2755], brev::changeLevelReference(8000, 96.0 * 99 / 100));
    EXPECT_EQ(changedCount(std::vector<int>(left.begin() + 2756, left.end()), 0), 0);

    // A fade longer than the sounding part covers the part.
    TWave shortFade = flatWave(40, 8000);
    shortFade.ApplyStaccato(4, 100);
    const auto shortLeft = leftOf(shortFade);
    EXPECT_EQ(shortLeft[0], 8000);
    for (int k = 1; k < 10; ++k)
        EXPECT_LT(shortLeft[k], 8000);
    EXPECT_EQ(changedCount(shortLeft, 0), 10);

    for (int count : {1, 0, -3}) {
        TWave same = slot;
        same.ApplyRepeats(count, 100);
        same.ApplyStaccato(count, 100);
        EXPECT_EQ(framesOf(same), source);
    }

    TWave tiny = rampWave(50);
    try {
        tiny.ApplyRepeats(99, 100);
        FAIL();
    } catch (const brev::Error& error) {
        EXPECT_STREQ(error.what(), "GetSegment - SegmentSize 0");
    }
    EXPECT_EQ(framesOf(tiny), framesOf(rampWave(50)));
}

TEST(RepeatsAndStaccato, InnerFadesMatchCopyByCopy) {
    for (int count : {2, 3, 7}) {
        SCOPED_TRACE(count);
        TWave slot = flatWave(5000, 12000);
        TWave part;
        slot.GetSegment(part, 0, 1, count);
        TWave expected;
        for (int i = 0; i < count; ++i) {
            TWave copy = part;
            if (i > 0)
                copy.ApplyFadeIn(100, 0, false);
            if (i < count - 1)
                copy.ApplyFadeOut(100, 0, false);
            expected += copy;
        }
        expected.SetLength(5000);
        slot.ApplyRepeats(count, 100);
        EXPECT_EQ(framesOf(slot), framesOf(expected));
    }
}

TEST(ChannelEffects, InvertSwapReverseSilence) {
    const TWave source = waveOf({{-32768, 7}, {5, -32768}, {32767, 1}, {0, 2}});
    TWave inverted = source;
    inverted.InvertPhase();
    EXPECT_EQ(framesOf(inverted),
              (std::vector<Frame>{{32767, 7}, {-5, -32768}, {-32767, 1}, {0, 2}}));
    inverted.InvertPhase();
    EXPECT_EQ(framesOf(inverted),
              (std::vector<Frame>{{-32767, 7}, {5, -32768}, {32767, 1}, {0, 2}}));

    TWave swapped = source;
    swapped.SwapChannels();
    EXPECT_EQ(framesOf(swapped).front(), Frame(7, -32768));
    swapped.SwapChannels();
    EXPECT_EQ(framesOf(swapped), framesOf(source));

    for (int frames : {0, 1, 4, 5}) {
        TWave reversed = rampWave(frames);
        reversed.Reverse();
        auto expected = framesOf(rampWave(frames));
        std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(framesOf(reversed), expected);
        reversed.Reverse();
        EXPECT_EQ(framesOf(reversed), framesOf(rampWave(frames)));
    }

    TWave left = source;
    left.SilenceLeft();
    EXPECT_EQ(rightOf(left), rightOf(source));
    EXPECT_EQ(leftOf(left), std::vector<int>(4, 0));
    TWave right = source;
    right.SilenceRight();
    EXPECT_EQ(leftOf(right), leftOf(source));
    EXPECT_EQ(rightOf(right), std::vector<int>(4, 0));

    // Trailing bytes of an odd-sized load are not part of any frame.
    const Bytes ten = pcmBytes(10);
    TWave odd(ten.data(), 10);
    odd.Reverse();
    odd.SwapChannels();
    odd.InvertPhase();
    EXPECT_EQ(odd.GetData()[8], ten[8]);
    EXPECT_EQ(odd.GetData()[9], ten[9]);
    odd.Silence();
    EXPECT_EQ(bytesOf(odd), Bytes(10, 0));
}
