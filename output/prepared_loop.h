// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/segment_store.h"
#include "audio/twave.h"
#include "output/loop_player.h"

#include <bitset>
#include <cstdint>
#include <memory>

namespace brev {

// The pattern's slots as they were when a loop began to be prepared off the owner thread.
class SlotsSnapshot {
public:
    virtual ~SlotsSnapshot() = default;
    // Any thread: renders the 16 slots into store from the values taken.
    virtual void renderAll(SegmentStore& store) const = 0;
    // Owner thread: the slots that would sound different rendered from the pattern as it is now.
    virtual std::bitset<kSlotCount> changedSince() const = 0;
};

// A loop made ready, on a worker, to take over from the playing one: its segments cut, its slots
// rendered, and the buffer the player is to read, holding them.
struct PreparedLoop {
    std::unique_ptr<SegmentStore> store;
    std::unique_ptr<LoopBuffer> buffer;
    // What the slots were rendered from; none: they hold their raw segments.
    std::shared_ptr<const SlotsSnapshot> renderedFrom;

    // Owner thread: the slots to render again before the loop is offered.
    std::bitset<kSlotCount> staleSlots() const;
    // Copies the store's slot into its region, while nothing else reads the buffer.
    void writeSlot(int slot);
};

// Cuts loop with swing and renders its slots from snapshot (when there is one) into a buffer
// that signals events. Raises what the store or the render raised.
PreparedLoop prepareLoop(BrevWave::TWave loop, int swing,
                         std::shared_ptr<const SlotsSnapshot> snapshot,
                         std::shared_ptr<EventSet> events);

// Frames of store's slot that go into its region: a slot shorter than its region (callers keep it
// at least as long) writes what it has.
std::uint32_t regionFill(const SegmentStore& store, int slot);

// A buffer of store's regions holding bytes (its output frames of them).
std::unique_ptr<LoopBuffer> loopBufferOf(const SegmentStore& store, const std::uint8_t* bytes,
                                         std::shared_ptr<EventSet> events);

} // namespace brev
