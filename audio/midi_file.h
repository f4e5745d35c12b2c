// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace brev {

struct MidiNote {
    std::uint32_t startTick = 0;
    std::uint32_t endTick = 0; // at or after startTick
    std::uint8_t channel = 0;  // 0 … 15
    std::uint8_t key = 0;      // 0 … 127
    std::uint8_t velocity = 0; // 1 … 127
};

// The slowest quarter note a tempo event states: three bytes of microseconds, 3.58 BPM.
inline constexpr std::uint32_t kMaxMicrosPerQuarter = 0xFFFFFF;

// A Standard MIDI File of format 0: one track with the tempo and a 4/4 time signature at its
// start, the notes, and its end at endTick or at the last note's end, whichever is later.
// microsPerQuarter: 1 … kMaxMicrosPerQuarter.
std::string midiFileOfNotes(std::uint16_t ticksPerQuarter, std::uint32_t microsPerQuarter,
                            std::span<const MidiNote> notes, std::uint32_t endTick);

} // namespace brev
