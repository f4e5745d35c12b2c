#pragma once

#include "audio/twave.h"
#include "editor/core/pattern_access.h"

namespace brev {

// Loads source into a playback engine (the output chosen by BREV_AUDIO / BREV_AUDIO_CAPTURE, else
// the default device), renders and writes all 16 slots, plays the loop looping for passes passes
// and, on each slot-start event, renders and writes the next slot, as the editor's play command
// does. Returns when the last pass has been heard.
void playLoop(PatternAccess& pattern, BrevWave::TWave source, unsigned passes);

} // namespace brev
