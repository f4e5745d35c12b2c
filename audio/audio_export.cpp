// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/audio_export.h"

#include "audio/sound_file.h"
#include "base/atomic_file.h"
#include "base/little_endian.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <vector>

namespace brev {

namespace {

constexpr std::size_t kBlockFrames = 16384;

bool endsWithIgnoringCase(std::string_view fileName, std::string_view suffix) {
    return fileName.size() > suffix.size() &&
           ::strncasecmp(fileName.data() + fileName.size() - suffix.size(), suffix.data(),
                         suffix.size()) == 0;
}

bool namesFlac(std::string_view fileName) {
    return endsWithIgnoringCase(fileName, ".flac");
}

// Writes the whole wave; false when libsndfile refuses a block.
bool writeFrames(SoundFile& file, const BrevWave::TWave& wave) {
    std::vector<short> samples(kBlockFrames * BrevWave::kChannels);
    const std::uint8_t* bytes = wave.GetData();
    const std::size_t frames = static_cast<std::size_t>(wave.GetSamples());
    for (std::size_t done = 0; done < frames;) {
        const std::size_t count = std::min(kBlockFrames, frames - done);
        const std::uint8_t* block = bytes + done * BrevWave::kFrameBytes;
        for (std::size_t i = 0; i < count * BrevWave::kChannels; ++i)
            samples[i] = static_cast<short>(readLe16(block + 2 * i));
        if (sf_writef_short(file.handle(), samples.data(), static_cast<sf_count_t>(count)) !=
            static_cast<sf_count_t>(count))
            return false;
        done += count;
    }
    return true;
}

// The system's reason for a failed write, a full disk for example, where there is one:
// libsndfile's own text then is often "No Error.".
std::string failureReason(const AtomicFile& target, const std::string& libraryText) {
    const int error = target.writeError();
    return error ? errorReason(error) : libraryText;
}

void saveFlac(const BrevWave::TWave& wave, const std::string& fileName) {
    const std::string creating = "SaveToFile - Error creating file " + fileName + "\n";
    const std::string saving = "SaveToFile - Error saving to " + fileName + "\n";
    AtomicFile target;
    if (const int error = target.open(fileName))
        throw Error(creating + errorReason(error));
    SF_INFO info{};
    info.samplerate = BrevWave::kSampleRate;
    info.channels = BrevWave::kChannels;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SoundFile file;
    if (!file.openWrite(target.writer(), info))
        throw Error(saving + failureReason(target, file.error()));
    if (!writeFrames(file, wave))
        throw Error(saving + failureReason(target, sf_strerror(file.handle())));
    if (!file.close())
        throw Error(saving + failureReason(target, file.error()));
    if (const int error = target.close())
        throw Error(saving + std::strerror(error));
    if (const int error = target.replaceTarget())
        throw Error(creating + std::strerror(error));
}

} // namespace

void saveAudioFile(const BrevWave::TWave& wave, const std::string& fileName) {
    if (namesFlac(fileName))
        saveFlac(wave, fileName);
    else
        wave.SaveToFile(fileName);
}

bool hasSaveExtension(std::string_view fileName) {
    return namesFlac(fileName) || endsWithIgnoringCase(fileName, ".wav");
}

} // namespace brev
