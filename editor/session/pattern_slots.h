// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"
#include "output/prepared_loop.h"

#include <vector>

namespace brev {

// The pattern's values when a loop began to be made ready on a worker: its slots are rendered
// there from these, and the slots edited since are found when it is handed over.
class PatternSlots : public SlotsSnapshot {
public:
    // Owner thread; the pattern outlives the snapshot's use there.
    explicit PatternSlots(const PatternAccess& pattern);

    void renderAll(SegmentStore& store) const override;
    std::bitset<kSlotCount> changedSince() const override;

private:
    // Values kept, read as a pattern; writes are ignored.
    class Taken : public PatternAccess {
    public:
        explicit Taken(const PatternAccess& pattern);
        int value(int control) const override { return values_[static_cast<std::size_t>(control)]; }
        void setValue(int, int) override {}
        const std::vector<int>& values() const { return values_; }

    private:
        std::vector<int> values_;
    };

    const PatternAccess& live_;
    const Taken taken_;
};

} // namespace brev
