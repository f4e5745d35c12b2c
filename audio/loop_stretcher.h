// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audio_decoder.h"
#include "audio/audio_import.h"
#include "audio/loop_tempo.h"
#include "audio/twave.h"

#include <string>

namespace brev {

// The loop stretched to the target tempo, exactly stretchedFrames() long, and shifted in pitch,
// by Rubber Band's R3 ("finer") engine offline: it studies the whole loop before it processes
// it. The loop itself, untouched, when changesLoop() is false. Raises brev::Error when the
// library cannot be loaded or the target is too far from the loop's own tempo, and
// DecodeCancelled when progress returns false. It holds the loop, the result and Rubber Band's
// own buffers, which do not grow with the loop; a stretch beyond eight times faster (with the
// shift) also holds a step between, shorter than the loop, as 32-bit float.
BrevWave::TWave stretchLoop(const BrevWave::TWave& loop, const LoopStretch& stretch,
                            const DecodeProgress& progress = {});
// The same, handing a loop it leaves as it is back without a copy.
BrevWave::TWave stretchLoop(BrevWave::TWave&& loop, const LoopStretch& stretch,
                            const DecodeProgress& progress = {});

// A loaded loop stretched, and what it was before.
struct StretchedAudio {
    LoadedAudio audio;           // stretched; as loaded when it was not or could not be
    BrevWave::TWave unstretched; // as loaded; empty when the stretch changed nothing
    std::string problem;         // why the loop could not be stretched; empty when it was
};

// Stretches a loop just loaded. A target it cannot reach leaves it as loaded, with the reason;
// only a cancel (DecodeCancelled) is raised.
StretchedAudio stretchLoaded(LoadedAudio loaded, const LoopStretch& stretch,
                             const DecodeProgress& progress = {});

// Why Rubber Band cannot be loaded; empty once it is. Loads it on the first call.
const std::string& stretchLibraryError();

} // namespace brev
