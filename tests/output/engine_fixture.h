#pragma once

#include "audio/twave.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brev::testing {

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Interleaved samples (left, right, left, ...) as a wave.
BrevWave::TWave waveOf(const std::vector<std::int16_t>& samples);
std::vector<std::int16_t> samplesOf(const BrevWave::TWave& wave);

// frames frames whose left channel counts up from 1 and whose right channel is tag.
BrevWave::TWave countingWave(std::int32_t frames, std::int16_t tag = 0);

// Writes wave as a WAV file and returns its path.
std::string writeWav(const TempDir& dir, const std::string& name, const BrevWave::TWave& wave);

} // namespace brev::testing
