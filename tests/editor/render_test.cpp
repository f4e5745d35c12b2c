// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/segment_store.h"
#include "editor/core/pattern_model.h"
#include "editor/core/render.h"
#include "tests/support/test_waves.h"

#include <gtest/gtest.h>
#include <string>

namespace brev {
namespace {

using test::Frame;
using test::frameAt;
using test::framesOf;
using test::makeWave;
using test::rampWave;

std::string name(std::string_view pattern, int slot) {
    return slotControlName(pattern, slot);
}

BrevWave::TWave constantWave(int count, int value) {
    return makeWave(count, [=](int) { return Frame{value, value}; });
}

TEST(Render, AngleOffsetAndDeckstopStep) {
    PatternModel pattern;
    const std::pair<int, int> angles[] = {{0, 0},      {1, 12},     {10, 130},
                                          {30, 428},   {45, 742},   {60, 1286},
                                          {89, 42551}, {-45, -742}, {-89, -42551}};
    for (auto [angle, offset] : angles) {
        pattern.SetNumberValue(kCuttingAngleNumber, angle);
        EXPECT_EQ(AngleOffset(pattern), offset) << angle;
    }
    for (auto [ramp, step] : {std::pair{1, 1981}, {50, 1001}, {100, 1}}) {
        pattern.SetNumberValue(kDeckstopRampNumber, ramp);
        EXPECT_EQ(deckstopStep(pattern), step) << ramp;
    }
}

TEST(Render, DefaultPatternGivesTheRawSegmentsAtAnySwing) {
    for (int swing : {0, 33, 100}) {
        SegmentStore store;
        auto source = rampWave(16 * 997 + 11);
        store.load(source, swing);
        PatternModel pattern;
        renderAll(pattern, store);
        for (int slot = 0; slot < 16; ++slot) {
            EXPECT_EQ(framesOf(store.slot(slot)), framesOf(store.segment(slot)))
                << swing << "/" << slot;
        }
        EXPECT_EQ(framesOf(store.joinSlots()), framesOf(source)) << swing;
    }
}

TEST(Render, LongerSegmentIsCutAndFadedShorterOneIsPaddedWithSilence) {
    SegmentStore store;
    store.load(constantWave(1600, 1000), 100); // even positions 150 frames, odd 50
    PatternModel pattern;
    pattern.setToggleDown(kLogFadesButton, false);
    pattern.SetNumberValue(kFadeSamplesNumber, 4);

    // Slot 1 plays the long segment 0: cut to 50 frames and faded out although its flag is off.
    pattern.SetNumberValue(name(kSegmentNumber, 1), 0);
    RenderSegment(pattern, store, 1);
    auto cut = framesOf(store.slot(1));
    ASSERT_EQ(cut.size(), 50u);
    EXPECT_EQ(cut[46], (Frame{1000, 1000}));
    EXPECT_EQ(cut[47], (Frame{750, 750}));
    EXPECT_EQ(cut[49], (Frame{250, 250}));

    // With its fade-out flag on the cut slot is faded twice.
    pattern.SetCheckValue(name(kFadeOutCheckText, 1), true);
    RenderSegment(pattern, store, 1);
    cut = framesOf(store.slot(1));
    EXPECT_EQ(cut[47], (Frame{562, 562}));
    EXPECT_EQ(cut[48], (Frame{250, 250}));
    EXPECT_EQ(cut[49], (Frame{62, 62}));

    // Slot 2 plays the short segment 3: 50 frames of sound, unfaded, then silence up to 150.
    pattern.SetNumberValue(name(kSegmentNumber, 2), 3);
    RenderSegment(pattern, store, 2);
    auto padded = framesOf(store.slot(2));
    ASSERT_EQ(padded.size(), 150u);
    EXPECT_EQ(padded[49], (Frame{1000, 1000}));
    EXPECT_EQ(padded[50], (Frame{0, 0}));
    EXPECT_EQ(padded[149], (Frame{0, 0}));
}

TEST(Render, AngleOffsetSlantsFadesAcrossTheChannels) {
    SegmentStore store;
    store.load(constantWave(16 * 1000, 1000), 0);
    PatternModel pattern;
    pattern.setToggleDown(kLogFadesButton, false);
    pattern.SetNumberValue(kFadeSamplesNumber, 0);
    pattern.SetNumberValue(kCuttingAngleNumber, 45);
    pattern.SetCheckValue(name(kFadeInCheckText, 0), true);
    pattern.SetCheckValue(name(kFadeOutCheckText, 1), true);
    RenderSegment(pattern, store, 0);
    RenderSegment(pattern, store, 1);

    auto in = framesOf(store.slot(0));
    EXPECT_EQ(in[0], (Frame{0, 1000}));
    EXPECT_EQ(in[371], (Frame{500, 1000}));
    EXPECT_EQ(in[742], (Frame{1000, 1000}));
    auto out = framesOf(store.slot(1));
    EXPECT_EQ(out[999], (Frame{1000, 1}));
    EXPECT_EQ(out[1000 - 371], (Frame{1000, 500}));
    EXPECT_EQ(out[1000 - 742], (Frame{1000, 1000}));

    // A negative angle mirrors it: the fade-in is longer on the right.
    pattern.SetNumberValue(kCuttingAngleNumber, -45);
    RenderSegment(pattern, store, 0);
    EXPECT_EQ(frameAt(store.slot(0), 371), (Frame{1000, 500}));
}

TEST(Render, VolumeRepeatsAndInnerFades) {
    SegmentStore store;
    store.load(constantWave(16 * 400, 1000), 0);
    PatternModel pattern;
    pattern.SetNumberValue(name(kVolumeNumber, 0), 6);
    pattern.SetNumberValue(name(kVolumeNumber, 1), -6);
    RenderSegment(pattern, store, 0);
    RenderSegment(pattern, store, 1);
    EXPECT_EQ(frameAt(store.slot(0), 10), (Frame{1995, 1995}));
    EXPECT_EQ(frameAt(store.slot(1), 10), (Frame{501, 501}));

    // Repeats of a ramp: inner fades off joins plain copies of the first half.
    SegmentStore ramp;
    ramp.load(rampWave(16 * 400), 0);
    pattern.SetNumberValue(name(kRepeatsNumber, 2), 2);
    pattern.setToggleDown(kInnerFadesButton, false);
    RenderSegment(pattern, ramp, 2);
    auto plain = framesOf(ramp.slot(2));
    auto raw = framesOf(ramp.segment(2));
    ASSERT_EQ(plain.size(), 400u);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(plain[i], raw[i]);
        EXPECT_EQ(plain[200 + i], raw[i]);
    }
    // Inner fades on: the join is faded (logarithmically, whatever LogFadesButton says).
    pattern.setToggleDown(kInnerFadesButton, true);
    pattern.setToggleDown(kLogFadesButton, false);
    pattern.SetNumberValue(kFadeSamplesNumber, 50);
    RenderSegment(pattern, ramp, 2);
    auto faded = framesOf(ramp.slot(2));
    EXPECT_EQ(faded[0], raw[0]);
    EXPECT_EQ(faded[149], raw[149]);
    EXPECT_LT(std::abs(faded[199].first), std::abs(raw[199].first) / 10);
    EXPECT_LT(std::abs(faded[200].first), std::abs(raw[0].first) / 10 + 2);
    EXPECT_EQ(faded[399], raw[199]);
}

TEST(Render, EffectsRunInTheirFixedOrder) {
    SegmentStore store;
    store.load(rampWave(16 * 100), 0);
    PatternModel pattern;
    pattern.setToggleDown(kLogFadesButton, false);
    pattern.SetNumberValue(kFadeSamplesNumber, 10);
    // Reverse comes before the fade-in: the fade starts on the old end.
    pattern.SetCheckValue(name(kReverseCheckText, 3), true);
    pattern.SetCheckValue(name(kFadeInCheckText, 3), true);
    // Mute left, then flip, then phase: left ends as the inverted old right, right silent.
    pattern.SetCheckValue(name(kMuteLeftCheckText, 4), true);
    pattern.SetCheckValue(name(kFlipCheckText, 4), true);
    pattern.SetCheckValue(name(kPhaseCheckText, 4), true);
    RenderSegment(pattern, store, 3);
    RenderSegment(pattern, store, 4);

    auto raw3 = framesOf(store.segment(3));
    auto slot3 = framesOf(store.slot(3));
    EXPECT_EQ(slot3[0], (Frame{0, 0}));
    EXPECT_EQ(slot3[5].first, raw3[94].first / 2);
    EXPECT_EQ(slot3[50], raw3[49]);

    auto raw4 = framesOf(store.segment(4));
    auto slot4 = framesOf(store.slot(4));
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(slot4[i], (Frame{-raw4[i].second, 0})) << i;
    }

    // Mute silences whatever came before it; every effect keeps the natural length.
    pattern.SetCheckValue(name(kMuteCheckText, 5), true);
    pattern.SetCheckValue(name(kDeckstopCheckText, 5), true);
    pattern.SetCheckValue(name(kStaccatoCheckText, 5), true);
    pattern.SetNumberValue(name(kRepeatsNumber, 5), 3);
    RenderSegment(pattern, store, 5);
    ASSERT_EQ(store.slot(5).size(), 400u);
    for (const auto& frame : framesOf(store.slot(5))) {
        ASSERT_EQ(frame, (Frame{0, 0}));
    }
}

TEST(Render, ErrorsPassThroughAndLeaveTheRawCopy) {
    PatternModel pattern;
    SegmentStore empty;
    try {
        RenderSegment(pattern, empty, 0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "TInterfaceForm::RenderSegment() - segment 0 length");
    }
    SegmentStore store;
    store.load(rampWave(16 * 50), 0);
    EXPECT_THROW(RenderSegment(pattern, store, 16), Error);

    // Repeats 99 on a 50-frame slot cannot cut parts: the effect's error passes through and
    // the slot keeps the raw copy of its segment.
    pattern.SetNumberValue(name(kSegmentNumber, 6), 2);
    pattern.SetNumberValue(name(kRepeatsNumber, 6), 99);
    try {
        RenderSegment(pattern, store, 6);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "GetSegment - SegmentSize 0");
    }
    EXPECT_EQ(framesOf(store.slot(6)), framesOf(store.segment(2)));
}

} // namespace
} // namespace brev
