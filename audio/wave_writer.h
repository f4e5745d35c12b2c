// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace brev {

// Writes pcm, whole 16-bit stereo 44100 Hz frames, as a WAV file at path, with extraChunks
// (whole RIFF chunks, padded) behind the data. The file replaces path only once complete.
// Raises Error "Unable to write PATH" with the system's reason on the next line.
void writeWaveFile(const std::string& path, std::span<const std::uint8_t> pcm,
                   std::span<const std::uint8_t> extraChunks = {});

// Writes content as the file at path in the same way, with the same failure.
void writeWholeFile(const std::string& path, std::string_view content);

} // namespace brev
