// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/prepared_loop.h"

#include "base/error.h"

#include <algorithm>
#include <new>
#include <utility>

namespace brev {

std::bitset<kSlotCount> PreparedLoop::staleSlots() const {
    return renderedFrom ? renderedFrom->changedSince() : std::bitset<kSlotCount>().set();
}

void PreparedLoop::writeSlot(int slot) {
    buffer->write(static_cast<std::uint32_t>(store->regionStart(slot)), store->slot(slot).data(),
                  regionFill(*store, slot));
}

PreparedLoop prepareLoop(BrevWave::TWave loop, int swing,
                         std::shared_ptr<const SlotsSnapshot> snapshot,
                         std::shared_ptr<EventSet> events) {
    auto store = std::make_unique<SegmentStore>();
    store->load(std::move(loop), swing);
    if (snapshot)
        snapshot->renderAll(*store);
    auto buffer = loopBufferOf(*store, store->joinSlots().GetData(), std::move(events));
    return {std::move(store), std::move(buffer), std::move(snapshot)};
}

std::uint32_t regionFill(const SegmentStore& store, int slot) {
    const std::int32_t frames = std::min<std::int32_t>(
        store.regionFrames(slot), static_cast<std::int32_t>(store.slot(slot).size() / kFrameBytes));
    return static_cast<std::uint32_t>(std::max(frames, 0));
}

std::unique_ptr<LoopBuffer> loopBufferOf(const SegmentStore& store, const std::uint8_t* bytes,
                                         std::shared_ptr<EventSet> events) {
    const std::int32_t frames = store.outputFrames();
    std::unique_ptr<LoopBuffer> buffer;
    try {
        buffer =
            std::make_unique<LoopBuffer>(static_cast<std::uint32_t>(frames), std::move(events));
    } catch (const std::bad_alloc&) {
        throw Error("CreateSoundBuffer() failed on secondary buffer");
    }
    buffer->write(0, bytes, static_cast<std::uint32_t>(frames));
    for (unsigned i = 0; i < kRegionCount; ++i)
        buffer->regionStarts[i] =
            static_cast<std::uint32_t>(store.regionStart(static_cast<int>(i)));
    return buffer;
}

} // namespace brev
