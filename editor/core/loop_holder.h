// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/segment_store.h"
#include "audio/twave.h"

namespace brev {

// Where a document's loop lives once it is cut into segments: the playback engine, which plays
// it, or a store of its own (brev-render, the plugin).
class LoopHolder {
public:
    virtual ~LoopHolder() = default;
    // Replaces the loop with loop cut at swing; raises, changing nothing, when the store refuses.
    virtual void cut(BrevWave::TWave loop, int swing) = 0;
    virtual const SegmentStore& store() const = 0;
    // The loop as it was cut, whatever loop the holder plays for the moment.
    virtual const BrevWave::TWave& cutLoop() const { return store().source(); }
    // The same loop cut again at another swing; a holder that plays it has its slots rendered
    // again and plays on.
    virtual void recut(int swing) { cut(cutLoop(), swing); }
};

// A holder that only keeps the store.
class StoreHolder : public LoopHolder {
public:
    void cut(BrevWave::TWave loop, int swing) override { store_.load(std::move(loop), swing); }
    const SegmentStore& store() const override { return store_; }
    SegmentStore& store() { return store_; }

private:
    SegmentStore store_;
};

} // namespace brev
