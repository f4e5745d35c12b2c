// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform strip's pixel mapping against a plain per-frame reference, and what it redraws.
#include "audio/segment_store.h"
#include "editor/ui/waveform_strip.h"
#include "tests/support/test_waves.h"

#include <QPaintEvent>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace brev;

namespace {

TEST(WaveformPeaksTest, EveryFrameFallsInTheColumnThatCoversItAndPeaksMatchAPlainScan) {
    std::mt19937 draw(3);
    for (int round = 0; round < 200; ++round) {
        const int width = 1 + static_cast<int>(draw() % 600);
        const std::int32_t loop = 16 + static_cast<std::int32_t>(draw() % 20000);
        const std::int32_t start = static_cast<std::int32_t>(draw() % static_cast<unsigned>(loop));
        const std::int32_t frames = 1 + static_cast<std::int32_t>(draw() % 3000);
        std::vector<std::int16_t> samples(2 * static_cast<std::size_t>(frames));
        for (auto& sample : samples)
            sample = static_cast<std::int16_t>(draw());

        // The reference: each heard frame widens its own column's peak.
        std::vector<std::pair<int, int>> expected(static_cast<std::size_t>(width),
                                                  {INT32_MAX, INT32_MIN});
        for (std::int32_t frame = start; frame < std::min(start + frames, loop); ++frame) {
            const int column = columnOfFrame(frame, loop, width);
            ASSERT_LE(columnStartFrame(column, loop, width), frame);
            ASSERT_GT(columnStartFrame(column + 1, loop, width), frame);
            auto& [low, high] = expected[static_cast<std::size_t>(column)];
            for (int channel = 0; channel < 2; ++channel) {
                const int sample = samples[2 * static_cast<std::size_t>(frame - start) + channel];
                low = std::min(low, sample);
                high = std::max(high, sample);
            }
        }
        const RegionPeaks peaks = regionPeaks(samples, start, loop, width);
        for (std::size_t i = 0; i < peaks.columns.size(); ++i) {
            const auto [low, high] = expected[static_cast<std::size_t>(peaks.firstColumn) + i];
            if (low > high)
                continue; // a column no frame falls in
            EXPECT_EQ(peaks.columns[i].low, low);
            EXPECT_EQ(peaks.columns[i].high, high);
        }
        EXPECT_EQ(peaks.firstColumn, columnOfFrame(start, loop, width));
    }
    EXPECT_EQ(sampleRow(32767, 48), 0);
    EXPECT_EQ(sampleRow(-32768, 48), 47);
}

// Remembers what each paint covered.
class PaintLog : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted |= static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

TEST(WaveformStripTest, ARenderedSlotAndTheLitRegionRedrawOnlyTheirPart) {
    SegmentStore store;
    store.load(brev::test::countingWave(16 * 2205), 25);
    WaveformStrip strip;
    strip.resize(529, 48);
    strip.showLoop(store);
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    PaintLog log;
    strip.installEventFilter(&log);
    QCoreApplication::processEvents();

    auto columnOf = [&](int slot) {
        return columnOfFrame(store.regionStart(slot), 16 * 2205, 529);
    };
    log.painted = {};
    strip.slotRendered(store, 5);
    QCoreApplication::processEvents();
    const QRect part = log.painted.boundingRect();
    EXPECT_EQ(part.left(), columnOf(5));
    EXPECT_LE(part.right(), columnOf(6));

    log.painted = {};
    strip.setPlayingSlot(9);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.painted.boundingRect().left(), columnOf(9));
    EXPECT_LE(log.painted.boundingRect().right(), columnOf(10));
}

} // namespace
