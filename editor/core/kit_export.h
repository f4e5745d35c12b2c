// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/segment_store.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace brev {

// Where a kit cuts the rendered loop, and the tempo its files carry.
struct KitLayout {
    std::array<std::int32_t, kSlotCount> starts{}; // each slot's first frame: the cue points
    std::int32_t frames = 0;                       // the rendered loop's length
    double bpm = 0;                                // the tempo table's
};

// The store's slots start where its swung segments do, as the engine plays them.
KitLayout kitLayout(const SegmentStore& store);

// A slot's part of the rendered loop: from its start to the next slot's, the last to the end.
std::span<const std::uint8_t> kitSlot(std::span<const std::uint8_t> loop, const KitLayout& layout,
                                      int slot);

// NAME: the loop's file name without folder and extension, "Clipboard" for a loop without one,
// cut to leave room for "-NN.wav" within folder's name limit, with '_' for each character that
// would break a line of NAME.sfz.
std::string kitName(const std::string& loopFileName, const std::string& folder);
// "NAME-01.wav" … "NAME-16.wav" for slots 0 … 15.
std::string kitSlotFileName(const std::string& name, int slot);

// The text of NAME.sfz and the bytes of NAME.mid. A beat slower than a MIDI file's slowest tempo
// spans several of its quarter notes.
std::string kitSfz(const std::string& name);
std::string kitMidi(const KitLayout& layout);

// Writes the store's rendered loop (render it first) as the kit NAME, as kitName gives it, into
// folder, created when missing: the 16 slot files, NAME.wav with its markers, NAME.sfz and
// NAME.mid, each replacing a file of its name only once complete. Raises Error naming the file
// that failed and why.
void writeKit(const std::string& folder, const std::string& name, const SegmentStore& store);

} // namespace brev
