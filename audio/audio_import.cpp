// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/audio_import.h"

#include "audio/clipboard_port.h"
#include "base/byte_stream.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <new>

namespace brev {

namespace {

// The loader's refusals of a well-formed file in another format, as opposed to a damaged one.
bool refusedForFormat(const Error& refusal) {
    std::string_view text = refusal.what();
    text = text.substr(text.rfind('\n') + 1);
    return text == "MMIOLoad - Not a RIFF WAVE file" || text == "Not a WAVE_FORMAT_PCM file" ||
           text == "Wrong format wave file";
}

LoadedAudio loadWithFallback(const std::function<void(BrevWave::TWave&)>& load,
                             const std::function<DecodedAudio()>& decode,
                             const std::string& firstLine) {
    LoadedAudio loaded;
    try {
        load(loaded.wave);
        return loaded;
    } catch (const Error& refusal) {
        if (!refusedForFormat(refusal))
            throw;
        try {
            DecodedAudio decoded = decode();
            return {std::move(decoded.wave), std::move(decoded.sourceFormat)};
        } catch (const DecodeCancelled&) {
            throw;
        } catch (const DecodeError& failure) {
            if (failure.unrecognised())
                throw refusal;
            throw wrapError(firstLine, failure);
        } catch (const Error& failure) {
            throw wrapError(firstLine, failure);
        } catch (const std::bad_alloc&) {
            throw Error(firstLine + "\nNot enough memory for the converted loop");
        }
    }
}

} // namespace

LoadedAudio loadAudioFile(const std::string& fileName, const DecodeProgress& progress) {
    return loadWithFallback([&](BrevWave::TWave& wave) { wave.LoadFromFile(fileName, progress); },
                            [&] { return decodeAudioFile(fileName, progress); },
                            "LoadFromFile - Error loading " + fileName);
}

LoadedAudio loadAudioClipboard(ClipboardPort& clipboard, const DecodeProgress& progress) {
    return loadWithFallback(
        [&](BrevWave::TWave& wave) { wave.LoadFromClipboard(clipboard, progress); },
        [&] { return decodeAudioBytes(clipboard.waveBytes(), progress); },
        "Error loading data from clipboard");
}

LoadedAudio loadAudioBytes(std::span<const std::uint8_t> bytes, const std::string& firstLine,
                           const DecodeProgress& progress) {
    return loadWithFallback(
        [&](BrevWave::TWave& wave) {
            MemoryReader reader(bytes);
            try {
                wave.MMIOLoad(&reader, progress);
            } catch (const DecodeCancelled&) {
                throw;
            } catch (const Error& error) {
                throw wrapError(firstLine, error);
            }
        },
        [&] { return decodeAudioBytes(bytes, progress); }, firstLine);
}

std::span<const std::string_view> audioFileExtensions() {
    static constexpr std::array<std::string_view, 15> kExtensions = {
        "wav",  "wave", "flac", "aif", "aiff", "aifc", "ogg", "oga",
        "opus", "mp3",  "caf",  "w64", "rf64", "au",   "snd"};
    return kExtensions;
}

bool hasAudioFileExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    std::string extension(fileName.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto known = audioFileExtensions();
    return std::find(known.begin(), known.end(), extension) != known.end();
}

} // namespace brev
