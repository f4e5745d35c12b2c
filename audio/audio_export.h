// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/twave.h"

#include <string>
#include <string_view>

namespace brev {

// Saves the wave as FLAC (16-bit stereo 44100 Hz) when the name ends in ".flac", ignoring
// case, and as TWave::SaveToFile writes it otherwise. Either way the file is written beside
// the target under a temporary name and renamed over it only when complete.
void saveAudioFile(const BrevWave::TWave& wave, const std::string& fileName);

// Whether the name ends in ".wav" or ".flac", ignoring case: the names a save is meant for.
bool hasSaveExtension(std::string_view fileName);

} // namespace brev
