// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/load_progress.h"
#include "audio/twave.h"
#include "base/error.h"

#include <cstdint>
#include <span>
#include <string>

namespace brev {

// A decode that failed. unrecognised: libsndfile knows no format for the data, so the caller's
// own refusal says more than the library's.
class DecodeError : public Error {
public:
    DecodeError(const std::string& message, bool unrecognised)
        : Error(message), unrecognised_(unrecognised) {}
    bool unrecognised() const { return unrecognised_; }

private:
    bool unrecognised_;
};

// Audio in the one sample format, and what it was before: "48000 Hz, 24-bit, mono", prefixed
// with the container unless that is WAV ("FLAC, 96000 Hz, 24-bit, stereo").
struct DecodedAudio {
    BrevWave::TWave wave;
    std::string sourceFormat;
};

// Decodes anything libsndfile reads into 16-bit stereo 44100 Hz: resampled by libsoxr at very
// high quality, mono copied to both channels, the first two of more channels kept, rounded
// with saturation and without dither, so the same file always gives the same samples. Raises
// DecodeError or DecodeCancelled.
DecodedAudio decodeAudioFile(const std::string& path, const DecodeProgress& progress = {});
DecodedAudio decodeAudioBytes(std::span<const std::uint8_t> bytes,
                              const DecodeProgress& progress = {});

} // namespace brev
