// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/twave.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace brev {

// The loaded loop cut into 16 swung segments, and the 16 rendered slots. The playback engine
// owns one; slot rendering reads segments and stores slots through it.
//
// The loop is held once: segments are views into it. The slots live back to back in one block
// of the loop's length, each at its segment's place, which is where a render leaves it (a slot
// always has the natural length of its position); joined, they are that block as it is. A slot
// still holding its raw segment is read from the loop and written into its place only when the
// block is needed whole, and a slot stored with another length is kept apart, in a wave of its
// own.
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
    // Frames of the segment with the same index; 0 outside 0 … 15.
    std::int32_t NaturalLength(int slot) const;

    // The render path: slot's own bytes at the natural length of its position, to be filled
    // whole in place. Indexes as GetSegment checks them.
    std::span<std::uint8_t> renderSlot(int segment, int slot);
    // The render of a slot that is its own raw segment, untouched: nothing is copied. An index
    // outside 0 … 15 raises as GetSegment does.
    void keepRaw(int slot);

    bool IsLoaded() const { return FSource->GetSamples() > 0; }
    std::int32_t SourceSamples() const { return FSource->GetSamples(); }
    std::int32_t UnitSamples() const { return FSource->GetSamples() / kCount; }
    // The output buffer holds the loop truncated to a multiple of 16 frames.
    std::int32_t outputFrames() const { return SourceSamples() - SourceSamples() % kCount; }
    // First frame of slot i's region in the output buffer; 0 before a load or outside 0 … 15.
    std::int32_t regionStart(int slot) const;
    // Frames of slot i's region: the even or the odd unit size; 0 before a load.
    std::int32_t regionFrames(int slot) const;

    const BrevWave::TWave& source() const { return *FSource; }
    // The same loop, for what is to keep it after the store has let it go.
    const std::shared_ptr<const BrevWave::TWave>& sharedSource() const { return FSource; }
    // The bytes of a segment or a slot; an index outside 0 … 15 raises std::out_of_range.
    std::span<const std::uint8_t> segment(int index) const;
    std::span<const std::uint8_t> slot(int index) const;

    // The 16 slots joined in slot order, fitted to the source's frame count: the wave that a
    // save or a copy of the rendered loop writes (the source itself while every slot is raw and
    // the source holds whole frames only). Valid until the store next changes.
    const BrevWave::TWave& joinSlots() const;

private:
    static bool validIndex(int index) { return index >= 0 && index < kCount; }
    static std::size_t at(int index);
    std::size_t placeOffset(int index) const;
    std::size_t placeBytes(int index) const;
    // Slot's place, taken back from a slot kept apart.
    std::span<std::uint8_t> placeSlot(int slot);

    // Never changed once loaded: whoever shares it reads it on any thread.
    std::shared_ptr<const BrevWave::TWave> FSource = std::make_shared<const BrevWave::TWave>();
    std::array<std::int32_t, kCount> FDivisions{};
    enum class Held { Raw, InPlace, Apart };

    // All 16 slots at their places, fitted to the source's frame count. Mutable: the join writes
    // raw slots into their places.
    mutable BrevWave::TWave FSlots;
    mutable std::array<Held, kCount> FHeld{};
    // A slot stored with another length than its place's; empty unless it is held apart.
    std::array<BrevWave::TWave, kCount> FApart;
    // The join when some slot is apart.
    mutable BrevWave::TWave FJoined;
};

} // namespace brev
