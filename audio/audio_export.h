#pragma once

#include "audio/twave.h"

#include <string>

namespace brev {

// Saves the wave as FLAC (16-bit stereo 44100 Hz) when the name ends in ".flac", ignoring
// case, and as TWave::SaveToFile writes it otherwise. Either way the file is written beside
// the target under a temporary name and renamed over it only when complete.
void saveAudioFile(const BrevWave::TWave& wave, const std::string& fileName);

} // namespace brev
