// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brev {

// What a DAW or a sampler reads from a loop besides its samples: slice points, one loop over
// the whole wave and the tempo.
struct LoopMarkers {
    std::vector<std::uint32_t> cueFrames; // slice starts, in frames
    std::vector<std::string> cueLabels;   // one per cue point
    std::uint32_t loopFrames = 0;         // one forward loop from frame 0 to here
    float bpm = 0;
    std::uint32_t beats = 0;
};

// The "cue ", "LIST"/"adtl", "smpl" and "acid" chunks of markers, each whole and padded, to
// stand in a RIFF WAVE form beside its "fmt " and "data" chunks.
std::vector<std::uint8_t> loopMarkerChunks(const LoopMarkers& markers);

} // namespace brev
