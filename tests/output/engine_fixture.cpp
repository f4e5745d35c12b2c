#include "engine_fixture.h"

#include <atomic>
#include <unistd.h>

namespace brev::testing {

TempDir::TempDir() {
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("brev-output-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

BrevWave::TWave waveOf(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(2 * samples.size());
    for (std::int16_t s : samples) {
        bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
    }
    return BrevWave::TWave(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

std::vector<std::int16_t> samplesOf(const BrevWave::TWave& wave) {
    std::vector<std::int16_t> samples(static_cast<size_t>(wave.byteLength() / 2));
    const std::uint8_t* data = wave.GetData();
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(data[2 * i] | data[2 * i + 1] << 8);
    return samples;
}

BrevWave::TWave countingWave(std::int32_t frames, std::int16_t tag) {
    std::vector<std::int16_t> samples;
    for (std::int32_t i = 0; i < frames; ++i) {
        samples.push_back(static_cast<std::int16_t>(i % 30000 + 1));
        samples.push_back(tag);
    }
    return waveOf(samples);
}

std::string writeWav(const TempDir& dir, const std::string& name, const BrevWave::TWave& wave) {
    std::string path = dir.file(name);
    wave.SaveToFile(path);
    return path;
}

} // namespace brev::testing
