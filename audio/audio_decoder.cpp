// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/audio_decoder.h"

#include "audio/loop_converter.h"
#include "audio/sound_file.h"
#include "base/byte_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string_view>
#include <vector>

namespace brev {

namespace {

constexpr sf_count_t kBlockFrames = 16384;
// libsndfile's code for data it could not read a stream from, worded as if the file were
// missing (libmpg123 on a cut-short MP3); the file is there, so it is damaged.
constexpr int kNoStreamRead = 7;

std::string formatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name)
        return {};
    return info.name;
}

// The container, except for WAV, which the user takes for granted.
std::string containerName(const SF_INFO& info) {
    switch (info.format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
        return {};
    case SF_FORMAT_AIFF:
        return "AIFF";
    case SF_FORMAT_FLAC:
        return "FLAC";
    case SF_FORMAT_CAF:
        return "CAF";
    case SF_FORMAT_W64:
        return "W64";
    case SF_FORMAT_RF64:
        return "RF64";
    case SF_FORMAT_OGG:
        return (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS ? "Ogg Opus" : "Ogg Vorbis";
    case SF_FORMAT_MPEG:
        return "MP3";
    default: {
        const std::string name = formatName(info.format & SF_FORMAT_TYPEMASK);
        return name.substr(0, name.find(' '));
    }
    }
}

// The sample encoding; nothing for the lossy codecs, whose container says it all.
std::string encodingName(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return "8-bit";
    case SF_FORMAT_PCM_16:
        return "16-bit";
    case SF_FORMAT_PCM_24:
        return "24-bit";
    case SF_FORMAT_PCM_32:
        return "32-bit";
    case SF_FORMAT_FLOAT:
        return "32-bit float";
    case SF_FORMAT_DOUBLE:
        return "64-bit float";
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
        return {};
    default:
        return formatName(format & SF_FORMAT_SUBMASK);
    }
}

std::string channelsName(int channels) {
    if (channels == 1)
        return "mono";
    if (channels == 2)
        return "stereo";
    return std::to_string(channels) + " channels";
}

std::string describe(const SF_INFO& info) {
    std::string text;
    for (const std::string& part : {containerName(info), std::to_string(info.samplerate) + " Hz",
                                    encodingName(info.format), channelsName(info.channels)}) {
        if (part.empty())
            continue;
        if (!text.empty())
            text += ", ";
        text += part;
    }
    return text;
}

// MP3 lengths are estimates until the whole stream has been read.
bool lengthIsExact(const SF_INFO& info) {
    return (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG && info.frames > 0 &&
           info.frames != SF_COUNT_MAX;
}

// libsndfile reads a file whose sample data is cut short as far as it goes and says so only in
// its log: "data : 144000 (should be 99920)" in WAV, "SSND" in AIFF, "riff" in W64, "Riff
// size" in RF64, "Data Size" in AU, or an RF64 "Data size" beyond the file's "Length". Such a
// file is damaged, as the loader holds a cut-short 16-bit WAV to be.
bool sampleDataCutShort(SNDFILE* file) {
    static constexpr std::string_view kSizeFields[] = {"data",      "SSND",      "riff",
                                                       "Riff size", "Data size", "Data Size"};
    std::string log(16384, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    std::istringstream lines(log.c_str());
    long long length = -1;
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const auto first = line.find_first_not_of(' ');
        const auto last = line.find_last_not_of(' ', colon - 1);
        const std::string_view name = std::string_view(line).substr(first, last + 1 - first);
        long long claimed = -1;
        long long held = -1;
        const int numbers =
            std::sscanf(line.c_str() + colon + 1, " %lld (should be %lld)", &claimed, &held);
        if (name == "Length" && numbers >= 1)
            length = claimed;
        if (numbers < 1 || claimed <= 0 ||
            std::find(std::begin(kSizeFields), std::end(kSizeFields), name) ==
                std::end(kSizeFields))
            continue;
        if ((numbers == 2 && claimed > held) || (length >= 0 && claimed > length))
            return true;
    }
    return false;
}

DecodedAudio decode(SoundFile& file, bool opened, const DecodeProgress& progress) {
    if (!opened && file.errorNumber() == kNoStreamRead)
        throw DecodeError("The file is damaged: no audio could be read from it", false);
    if (!opened)
        throw DecodeError(file.error(), file.errorNumber() == SF_ERR_UNRECOGNISED_FORMAT);
    if (sampleDataCutShort(file.handle()))
        throw DecodeError("Error reading data", false);
    const SF_INFO& info = file.info();
    LoopConverter converter(info.samplerate, info.channels, lengthIsExact(info) ? info.frames : 0);
    std::vector<float> samples(static_cast<std::size_t>(kBlockFrames * info.channels));
    sf_count_t total = 0;
    for (;;) {
        const double done =
            lengthIsExact(info)
                ? std::min(1.0, static_cast<double>(total) / static_cast<double>(info.frames))
                : 0.0;
        if (progress && !progress(done))
            throw DecodeCancelled();
        const sf_count_t frames = sf_readf_float(file.handle(), samples.data(), kBlockFrames);
        if (frames <= 0)
            break;
        converter.push({samples.data(), static_cast<std::size_t>(frames * info.channels)});
        total += frames;
    }
    if (sf_error(file.handle()) != SF_ERR_NO_ERROR)
        throw DecodeError(sf_strerror(file.handle()), false);
    if (lengthIsExact(info) && total < info.frames)
        throw DecodeError("The audio ends after " + std::to_string(total) + " of its " +
                              std::to_string(info.frames) + " frames",
                          false);
    return {converter.finish(), describe(info)};
}

} // namespace

DecodedAudio decodeAudioFile(const std::string& path, const DecodeProgress& progress) {
    SoundFile file;
    const bool opened = file.openRead(path);
    return decode(file, opened, progress);
}

DecodedAudio decodeAudioBytes(std::span<const std::uint8_t> bytes, const DecodeProgress& progress) {
    MemoryReader reader(bytes);
    SoundFile file;
    const bool opened = file.openRead(reader);
    return decode(file, opened, progress);
}

} // namespace brev
