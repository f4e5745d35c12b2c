#pragma once

#include "audio/twave.h"

#include <array>
#include <cstdint>

namespace brev {

// The loaded loop cut into 16 swung segments, and the 16 rendered slots. The playback engine
// owns one; slot rendering reads segments and stores slots through it.
class SegmentStore {
public:
    static constexpr int kCount = kSlotCount;

    // Cuts source with the swing percentage and copies the raw segments into the slots. On
    // failure (a bad swing, fewer than 16 frames) the previous loop stays as it was. Taken by
    // value: a caller done with its wave moves it in instead of having it copied.
    void load(BrevWave::TWave source, int swing);

    // Copies segment into slot, then the slot into out. Either index outside 0 … 15 raises
    // "TDS::GetSegment(), Index out of bounds" and changes nothing.
    void GetSegment(int segment, int slot, BrevWave::TWave& out);
    // Stores a copy of wave as that slot; an index outside 0 … 15 does nothing.
    void StoreSlot(int slot, const BrevWave::TWave& wave);
    // The same, taking the wave over instead of copying it.
    void StoreSlot(int slot, BrevWave::TWave&& wave);
    // Frames of the segment with the same index; 0 outside 0 … 15.
    std::int32_t NaturalLength(int slot) const;

    bool IsLoaded() const { return FSource.GetSamples() > 0; }
    std::int32_t SourceSamples() const { return FSource.GetSamples(); }
    std::int32_t UnitSamples() const { return FSource.GetSamples() / kCount; }
    // The output buffer holds the loop truncated to a multiple of 16 frames.
    std::int32_t outputFrames() const { return SourceSamples() - SourceSamples() % kCount; }
    // First frame of slot i's region in the output buffer; 0 before a load or outside 0 … 15.
    std::int32_t regionStart(int slot) const;
    // Frames of slot i's region: the even or the odd unit size; 0 before a load.
    std::int32_t regionFrames(int slot) const;

    const BrevWave::TWave& source() const { return FSource; }
    const BrevWave::TWave& segment(int index) const { return FSegments.at(index); }
    const BrevWave::TWave& slot(int index) const { return FSlots.at(index); }

    // The 16 slots joined in slot order, fitted to the source's frame count: the wave that a
    // save or a copy of the rendered loop writes.
    BrevWave::TWave joinSlots() const;

private:
    static bool validIndex(int index) { return index >= 0 && index < kCount; }

    BrevWave::TWave FSource;
    std::array<std::int32_t, kCount> FDivisions{};
    std::array<BrevWave::TWave, kCount> FSegments;
    std::array<BrevWave::TWave, kCount> FSlots;
};

} // namespace brev
