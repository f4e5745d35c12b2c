// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/segment_store.h"
#include "tests/support/test_waves.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brev {
namespace {

using test::framesOf;
using test::rampWave;

TEST(SegmentStore, RegionsSegmentsAndTheJoinFollowTheSwing) {
    SegmentStore store;
    EXPECT_FALSE(store.IsLoaded());
    EXPECT_EQ(store.regionStart(7), 0);
    EXPECT_EQ(store.outputFrames(), 0);

    auto source = rampWave(16003);
    store.load(source, 0);
    EXPECT_TRUE(store.IsLoaded());
    EXPECT_EQ(store.SourceSamples(), 16003);
    EXPECT_EQ(store.UnitSamples(), 1000);
    EXPECT_EQ(store.outputFrames(), 16000);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(store.regionStart(i), 1000 * i);
        EXPECT_EQ(store.regionFrames(i), 1000);
    }
    EXPECT_EQ(store.NaturalLength(14), 1000);
    EXPECT_EQ(store.NaturalLength(15), 1003);

    store.load(source, 33);
    EXPECT_EQ(store.regionStart(1), 1165);
    EXPECT_EQ(store.regionStart(2), 2000);
    EXPECT_EQ(store.regionStart(15), 15165);
    EXPECT_EQ(store.regionFrames(14), 1165);
    EXPECT_EQ(store.regionFrames(15), 835);
    EXPECT_EQ(store.regionStart(15) + store.regionFrames(15), store.outputFrames());
    EXPECT_EQ(store.NaturalLength(15), 838);

    // Raw slots joined give the source back, frame for frame, at its full length.
    auto joined = store.joinSlots();
    ASSERT_EQ(joined.GetSamples(), 16003);
    EXPECT_EQ(std::memcmp(joined.GetData(), source.GetData(), 16003 * 4), 0);

    // Slots that grew are cut back to the source's length; slots that shrank leave silence.
    BrevWave::TWave longer = rampWave(5000);
    store.StoreSlot(0, longer);
    EXPECT_EQ(store.joinSlots().GetSamples(), 16003);
    BrevWave::TWave empty;
    for (int i = 0; i < 16; ++i) {
        store.StoreSlot(i, empty);
    }
    auto silent = store.joinSlots();
    ASSERT_EQ(silent.GetSamples(), 16003);
    EXPECT_EQ(test::frameAt(silent, 16002), (test::Frame{0, 0}));
}

TEST(SegmentStore, GetSegmentCopiesIntoSlotAndRefusesBadIndexes) {
    SegmentStore store;
    store.load(rampWave(16000), 50);
    BrevWave::TWave out;
    store.GetSegment(2, 5, out);
    EXPECT_EQ(out.GetSamples(), store.NaturalLength(2));
    EXPECT_EQ(framesOf(out), framesOf(store.segment(2)));
    EXPECT_EQ(framesOf(store.slot(5)), framesOf(store.segment(2)));
    EXPECT_NE(store.NaturalLength(5), out.GetSamples());

    for (auto [segment, slot] : {std::pair{-1, 0}, {0, 16}, {16, 3}, {3, -1}}) {
        try {
            store.GetSegment(segment, slot, out);
            FAIL() << segment << "," << slot;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "TDS::GetSegment(), Index out of bounds");
        }
    }
    EXPECT_EQ(framesOf(store.slot(5)), framesOf(store.segment(2)));
    EXPECT_EQ(framesOf(store.slot(0)), framesOf(store.segment(0)));
    EXPECT_EQ(framesOf(out), framesOf(store.segment(2)));

    // Indexes the callers never pass touch nothing.
    store.StoreSlot(16, out);
    EXPECT_EQ(store.NaturalLength(-1), 0);
}

TEST(SegmentStore, RawRenderedAndApartSlotsJoinInSlotOrder) {
    SegmentStore store;
    const auto source = rampWave(16003);
    store.load(source, 33);
    // Slot 3 rendered in place, slot 7 stored one frame short (kept apart), the rest raw.
    const auto rendered = test::makeWave(store.NaturalLength(3), [](int i) {
        return test::Frame{i, -i};
    });
    store.StoreSlot(3, rendered);
    const auto shorter = test::makeWave(store.NaturalLength(7) - 1, [](int) {
        return test::Frame{7, 7};
    });
    store.StoreSlot(7, shorter);
    EXPECT_EQ(framesOf(store.slot(5)), framesOf(store.segment(5)));

    std::vector<test::Frame> expected;
    for (int k = 0; k < 16; ++k) {
        const auto slot = k == 3   ? framesOf(rendered)
                          : k == 7 ? framesOf(shorter)
                                   : framesOf(store.segment(k));
        expected.insert(expected.end(), slot.begin(), slot.end());
    }
    expected.push_back({0, 0}); // the frame slot 7 lacks, as silence at the end
    EXPECT_EQ(framesOf(store.joinSlots()), expected);

    // Slot 7 back at its length: the join is the slot block itself again.
    store.StoreSlot(7, test::makeWave(store.NaturalLength(7), [](int) { return test::Frame{}; }));
    EXPECT_EQ(store.joinSlots().GetSamples(), 16003);
    EXPECT_EQ(test::frameAt(store.joinSlots(), store.regionStart(7)), (test::Frame{0, 0}));
    EXPECT_EQ(test::frameAt(store.joinSlots(), store.regionStart(3) + 2), (test::Frame{2, -2}));
}

TEST(SegmentStore, RefusedLoadKeepsThePreviousLoop) {
    SegmentStore store;
    auto first = rampWave(1600);
    store.load(first, 20);
    try {
        store.load(rampWave(15), 0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "TWave::SetSwing() - UnitSize 0");
    }
    EXPECT_THROW(store.load(rampWave(1600), 101), Error);
    EXPECT_EQ(store.SourceSamples(), 1600);
    EXPECT_EQ(store.regionStart(1), 110);
    EXPECT_EQ(framesOf(store.joinSlots()), framesOf(first));
}

} // namespace
} // namespace brev
