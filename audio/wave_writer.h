// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/save_target.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace brev {

// A folder held open for files written into it, and its path as messages name it.
struct FolderToWrite {
    const HeldFolder& held;
    std::string path;
};

// Writes pcm, whole 16-bit stereo 44100 Hz frames, as the WAV file name in folder, with
// extraChunks (whole RIFF chunks, padded) behind the data. The file replaces one of that name
// only once complete. Raises Error "Unable to write PATH" with the system's reason on the next
// line.
void writeWaveFile(const FolderToWrite& folder, const std::string& name,
                   std::span<const std::uint8_t> pcm,
                   std::span<const std::uint8_t> extraChunks = {});

// Writes content as the file name in folder in the same way, with the same failure.
void writeWholeFile(const FolderToWrite& folder, const std::string& name, std::string_view content);

} // namespace brev
