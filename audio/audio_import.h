// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audio_decoder.h"
#include "audio/twave.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace brev {

class ClipboardPort;

// A loop as loaded, and what it was converted from ("48000 Hz, 24-bit, mono"); convertedFrom
// is empty when it was already 16-bit stereo 44100 Hz PCM WAV and loaded as such.
struct LoadedAudio {
    BrevWave::TWave wave;
    std::string convertedFrom;
};

// Each loads as TWave's own loader does, bit for bit. Only data that loader refuses for its
// format (not RIFF WAVE, not PCM, not 16-bit stereo 44100 Hz) goes on to the decoder, which
// converts anything libsndfile reads; a RIFF WAVE refused as damaged keeps that refusal. Data
// that neither reads is refused with the loader's message when libsndfile does not recognise
// it either, else with libsndfile's reason behind the loader's first line.
LoadedAudio loadAudioFile(const std::string& fileName, const DecodeProgress& progress = {});
LoadedAudio loadAudioClipboard(ClipboardPort& clipboard, const DecodeProgress& progress = {});
// Wave data handed over some other way (a drop); failures start with firstLine.
LoadedAudio loadAudioBytes(std::span<const std::uint8_t> bytes, const std::string& firstLine,
                           const DecodeProgress& progress = {});

// The extensions of the formats the decoder opens, lower case, without the dot.
std::span<const std::string_view> audioFileExtensions();
// Whether a file name ends in one of them, ignoring case.
bool hasAudioFileExtension(std::string_view fileName);

} // namespace brev
