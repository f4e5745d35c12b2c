#include "audio/segment_store.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace brev {

void SegmentStore::load(BrevWave::TWave next, int swing) {
    // Everything is built aside first, so a refused load leaves the previous loop intact.
    next.SetSwing(swing, kCount);
    std::vector<std::int32_t> divisions;
    next.GetDivisions(divisions);
    if (divisions.size() != static_cast<size_t>(kCount)) {
        throw Error("SetupNotifications - array size wrong: " + std::to_string(divisions.size()));
    }
    std::array<BrevWave::TWave, kCount> segments;
    for (int k = 0; k < kCount; ++k) {
        next.GetSegmentSwing(segments[static_cast<size_t>(k)], k);
    }
    std::array<BrevWave::TWave, kCount> slots(segments);

    FSource = std::move(next);
    std::copy(divisions.begin(), divisions.end(), FDivisions.begin());
    FSegments = std::move(segments);
    FSlots = std::move(slots);
}

void SegmentStore::GetSegment(int segment, int slot, BrevWave::TWave& out) {
    if (!validIndex(segment) || !validIndex(slot)) {
        throw Error("TDS::GetSegment(), Index out of bounds");
    }
    auto& stored = FSlots[static_cast<size_t>(slot)];
    stored = FSegments[static_cast<size_t>(segment)];
    out = stored;
}

void SegmentStore::StoreSlot(int slot, const BrevWave::TWave& wave) {
    if (validIndex(slot)) {
        FSlots[static_cast<size_t>(slot)] = wave;
    }
}

void SegmentStore::StoreSlot(int slot, BrevWave::TWave&& wave) {
    if (validIndex(slot)) {
        FSlots[static_cast<size_t>(slot)] = std::move(wave);
    }
}

std::int32_t SegmentStore::NaturalLength(int slot) const {
    return validIndex(slot) ? FSegments[static_cast<size_t>(slot)].GetSamples() : 0;
}

std::int32_t SegmentStore::regionStart(int slot) const {
    return validIndex(slot) ? FDivisions[static_cast<size_t>(slot)] : 0;
}

std::int32_t SegmentStore::regionFrames(int slot) const {
    if (!validIndex(slot)) {
        return 0;
    }
    return slot % 2 == 0 ? FSource.GetEvenUnitSize() : FSource.GetOddUnitSize();
}

BrevWave::TWave SegmentStore::joinSlots() const {
    BrevWave::TWave joined;
    for (const auto& slot : FSlots) {
        joined += slot;
    }
    joined.SetLength(SourceSamples());
    return joined;
}

} // namespace brev
