// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/segment_store.h"

#include "base/debug_assert.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace brev {

using BrevWave::kFrameBytes;

void SegmentStore::load(BrevWave::TWave next, int swing) {
    // Everything is built aside first, so a refused load leaves the previous loop intact.
    next.SetSwing(swing, kCount);
    std::vector<std::int32_t> divisions;
    next.GetDivisions(divisions);
    if (divisions.size() != static_cast<size_t>(kCount)) {
        throw Error("SetupNotifications - array size wrong: " + std::to_string(divisions.size()));
    }
    // The slots hold the raw segments: read from the source until something else is stored.
    BrevWave::TWave slots;
    try {
        slots = BrevWave::TWave::unwritten(next.GetSamples());
    } catch (const Error&) {
        throw Error("GetSegmentSwing - Error allocating memory");
    }

    FSource = std::make_shared<const BrevWave::TWave>(std::move(next));
    std::copy(divisions.begin(), divisions.end(), FDivisions.begin());
    FSlots = std::move(slots);
    FHeld.fill(Held::Raw);
    FApart = {};
    FJoined = BrevWave::TWave();
}

std::size_t SegmentStore::at(int index) {
    if (!validIndex(index)) {
        throw std::out_of_range("segment or slot index " + std::to_string(index));
    }
    return static_cast<size_t>(index);
}

std::size_t SegmentStore::placeOffset(int index) const {
    return static_cast<size_t>(FDivisions[at(index)]) * kFrameBytes;
}

std::size_t SegmentStore::placeBytes(int index) const {
    return static_cast<size_t>(NaturalLength(index)) * kFrameBytes;
}

std::span<const std::uint8_t> SegmentStore::segment(int index) const {
    return FSource->bytes().subspan(placeOffset(index), placeBytes(index));
}

std::span<const std::uint8_t> SegmentStore::slot(int index) const {
    switch (FHeld[at(index)]) {
    case Held::Raw:
        return segment(index);
    case Held::Apart:
        return FApart[at(index)].bytes();
    case Held::InPlace:
        break;
    }
    return FSlots.bytes().subspan(placeOffset(index), placeBytes(index));
}

std::span<std::uint8_t> SegmentStore::placeSlot(int slot) {
    // Every slot's place lies inside the block of joined slots.
    BREV_ASSERT(placeOffset(slot) + placeBytes(slot) <= FSlots.bytes().size());
    FHeld[at(slot)] = Held::InPlace;
    FApart[at(slot)] = BrevWave::TWave();
    return FSlots.bytes().subspan(placeOffset(slot), placeBytes(slot));
}

std::span<std::uint8_t> SegmentStore::renderSlot(int segment, int slot) {
    if (!validIndex(segment) || !validIndex(slot)) {
        throw Error("TDS::GetSegment(), Index out of bounds");
    }
    return placeSlot(slot);
}

void SegmentStore::keepRaw(int slot) {
    if (!validIndex(slot)) {
        throw Error("TDS::GetSegment(), Index out of bounds");
    }
    FHeld[at(slot)] = Held::Raw;
    FApart[at(slot)] = BrevWave::TWave();
}

void SegmentStore::GetSegment(int segment, int slot, BrevWave::TWave& out) {
    if (!validIndex(segment) || !validIndex(slot)) {
        throw Error("TDS::GetSegment(), Index out of bounds");
    }
    const auto bytes = this->segment(segment);
    StoreSlot(slot, BrevWave::TWave(bytes.data(), static_cast<std::int32_t>(bytes.size())));
    const auto stored = this->slot(slot);
    // Assigned as a copy, so out keeps its divisions.
    const BrevWave::TWave copy(stored.data(), static_cast<std::int32_t>(stored.size()));
    out = copy;
}

void SegmentStore::StoreSlot(int slot, const BrevWave::TWave& wave) {
    if (!validIndex(slot)) {
        return;
    }
    const auto bytes = wave.bytes();
    if (bytes.size() == placeBytes(slot)) {
        std::copy(bytes.begin(), bytes.end(), placeSlot(slot).begin());
    } else {
        FApart[at(slot)] = wave;
        FHeld[at(slot)] = Held::Apart;
    }
}

std::int32_t SegmentStore::NaturalLength(int slot) const {
    if (!validIndex(slot) || !IsLoaded()) {
        return 0;
    }
    const std::int32_t end = slot == kCount - 1 ? SourceSamples() : FDivisions[at(slot + 1)];
    return end - FDivisions[at(slot)];
}

std::int32_t SegmentStore::regionStart(int slot) const {
    return validIndex(slot) ? FDivisions[static_cast<size_t>(slot)] : 0;
}

std::int32_t SegmentStore::regionFrames(int slot) const {
    if (!validIndex(slot)) {
        return 0;
    }
    return slot % 2 == 0 ? FSource->GetEvenUnitSize() : FSource->GetOddUnitSize();
}

const BrevWave::TWave& SegmentStore::joinSlots() const {
    const bool allRaw =
        std::all_of(FHeld.begin(), FHeld.end(), [](Held held) { return held == Held::Raw; });
    if (allRaw && FSource->byteLength() == FSlots.byteLength()) {
        return *FSource;
    }
    if (std::find(FHeld.begin(), FHeld.end(), Held::Apart) == FHeld.end()) {
        for (int k = 0; k < kCount; ++k) {
            if (FHeld[at(k)] == Held::Raw) {
                const auto raw = segment(k);
                std::copy(raw.begin(), raw.end(),
                          FSlots.bytes().begin() + static_cast<std::ptrdiff_t>(placeOffset(k)));
                FHeld[at(k)] = Held::InPlace;
            }
        }
        return FSlots;
    }
    // The slots' bytes one after the other, cut or filled with silence to the source's length.
    FJoined = BrevWave::TWave();
    FJoined.SetLength(SourceSamples());
    const std::span<std::uint8_t> joined = FJoined.bytes();
    std::size_t filled = 0;
    for (int k = 0; k < kCount && filled < joined.size(); ++k) {
        const auto bytes = slot(k).first(std::min(slot(k).size(), joined.size() - filled));
        std::copy(bytes.begin(), bytes.end(), joined.begin() + static_cast<std::ptrdiff_t>(filled));
        filled += bytes.size();
    }
    return FJoined;
}

} // namespace brev
