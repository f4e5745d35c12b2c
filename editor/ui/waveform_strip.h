// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/ui/waveform_peaks.h"

#include <QWidget>
#include <array>

namespace brev {

class SegmentStore;

// The rendered loop as it is heard: a min/max outline per pixel column, the 16 slot regions at
// their swung offsets with their numbers, and the region being played lit. The outline of a
// slot is measured when the slot is rendered; painting only draws what was measured.
class WaveformStrip : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSlots = 16;

    explicit WaveformStrip(QWidget* parent = nullptr);

    // A new loop in the store, or none: every slot is measured afresh.
    void showLoop(const SegmentStore& store);
    // The slot was rendered into the store: its part is measured and redrawn.
    void slotRendered(const SegmentStore& store, int slot);
    // The region lit as being played; -1 for none.
    void setPlayingSlot(int slot);

    int playingSlot() const { return playing_; }
    // The slot whose region holds column x; -1 without a loop.
    int slotAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool sameLoop(const SegmentStore& store) const;
    void measure(const SegmentStore& store, int slot);
    // The columns from the first frame of the slot's region to the next region's.
    QRect regionRect(int slot) const;
    int regionColumn(int slot) const;

    std::int32_t loopFrames_ = 0;
    std::array<std::int32_t, kSlots> regionStarts_{};
    std::array<RegionPeaks, kSlots> peaks_;
    int playing_ = -1;
};

} // namespace brev
