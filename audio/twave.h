// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/load_progress.h"
#include "audio/loop_layout.h"
#include "base/error.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace brev {
class ByteReader;
class ByteWriter;
class ClipboardPort;
enum class FileAccess;
} // namespace brev

namespace BrevWave {

// The one sample format: PCM, 2 channels, 44100 Hz, signed 16-bit little-endian.
constexpr int kChannels = 2;
constexpr int kSampleRate = 44100;
constexpr int kBitsPerSample = 16;
using brev::kFrameBytes;
constexpr int kBytesPerSecond = kSampleRate * kFrameBytes;

// The 18-byte wave format record (little-endian on the wire) written into every WAV.
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;

    std::array<std::uint8_t, 18> encode() const;
};

// The record of the one sample format.
WaveFormat pcmWaveFormat();

// Owner of a PCM block; blocks come from allocatePcmBlock.
struct PcmBlockFree {
    void operator()(std::uint8_t* block) const noexcept;
};
using PcmBlock = std::unique_ptr<std::uint8_t[], PcmBlockFree>;
// An uninitialised block of bytes > 0; null when it cannot be had. Large blocks sit on huge
// pages, which saves most of the page faults of filling them.
PcmBlock allocatePcmBlock(std::size_t bytes) noexcept;

// A block of interleaved stereo 16-bit PCM frames (left sample first) plus the swing division
// data of its last SetSwing. Lengths are in frames except byteLength(). Failures raise
// brev::Error with one message text.
class TWave {
public:
    TWave();
    // Copies count bytes; count 0 gives an empty wave.
    TWave(const void* bytes, std::int32_t count);
    // Takes over a block whose first count bytes are the samples, without copying them.
    TWave(PcmBlock block, std::int32_t count) noexcept;
    // Constructing copies everything, divisions included (containers move and copy waves).
    TWave(const TWave& other);
    TWave(TWave&& other) noexcept;
    virtual ~TWave();

    // Deep copy of the bytes and the swing fields; this wave's divisions stay as they were.
    TWave& operator=(const TWave& source);
    // Takes everything from source, divisions included; source is left empty.
    TWave& operator=(TWave&& source) noexcept;
    // Appends other's bytes (other may be this wave); swing fields and divisions stay.
    TWave& operator+=(const TWave& other);
    TWave operator+(const TWave& other) const;

    // Exactly frames frames: cut at the end or extended with silence.
    void SetLength(std::int32_t frames);
    // A wave of frames > 0 frames whose samples are still to be written: its memory is taken
    // only as they are. Raises "Error allocating memory for FPcmData" when it cannot be had.
    static TWave unwritten(std::int32_t frames);

    std::uint8_t* GetData() { return FPcmData.get(); }
    const std::uint8_t* GetData() const { return FPcmData.get(); }
    std::int32_t GetSamples() const { return FLength / kFrameBytes; }
    std::int32_t GetEvenUnitSize() const { return FEvenUnitSize; }
    std::int32_t GetOddUnitSize() const { return FOddUnitSize; }
    void GetDivisions(std::vector<std::int32_t>& divisions) const { divisions = FDivisions; }
    void GetWaveFormat(WaveFormat& format) const;

    std::int32_t byteLength() const { return FLength; }
    // All bytes of the block, trailing bytes behind the last whole frame included.
    std::span<std::uint8_t> bytes() { return {FPcmData.get(), static_cast<std::size_t>(FLength)}; }
    std::span<const std::uint8_t> bytes() const {
        return {FPcmData.get(), static_cast<std::size_t>(FLength)};
    }
    std::int32_t swing() const { return FSwing; }

    // WAV exchange.
    // The loads tell progress how far they have come; its refusal raises brev::DecodeCancelled.
    void LoadFromFile(const std::string& fileName, const brev::DecodeProgress& progress = {});
    // Writes a temporary file beside the target and renames it over the target when complete.
    void SaveToFile(const std::string& fileName) const;
    void SaveToFile(const std::string& fileName, brev::FileAccess access) const;
    void LoadFromClipboard(brev::ClipboardPort& clipboard,
                           const brev::DecodeProgress& progress = {});
    // Leaves the clipboard untouched when the wave could not be built.
    void SaveToClipboard(brev::ClipboardPort& clipboard) const;
    // Parses a RIFF WAVE stream from the reader's current position; null gives "Invalid handle".
    void MMIOLoad(brev::ByteReader* handle, const brev::DecodeProgress& progress = {});
    // Writes the RIFF WAVE stream to an empty writer.
    void MMIOSave(brev::ByteWriter* handle) const;

    // Segmenting and swing.
    void SetSwing(int percentage, int count);
    void GetSegmentSwing(TWave& output, int index) const;
    void GetSegment(TWave& output, int first, int count, int whole) const;

    // Effects; all keep the length. Computed samples saturate at the 16-bit limits.
    void ApplyFadeIn(int length, int offset, bool linear);
    void ApplyFadeOut(int length, int offset, bool linear);
    void Deckstop(int step);
    void ApplyRepeats(int count, int innerFade);
    void ApplyVolume(int attenuation);
    void ApplyStaccato(int divider, int fade);
    void Reverse();
    void Silence();
    void SilenceLeft();
    void SilenceRight();
    void SwapChannels();
    void InvertPhase();

private:
    void clear() noexcept;
    static void adoptFresh(TWave& output, TWave&& fresh) noexcept;

    PcmBlock FPcmData;
    std::int32_t FLength = 0;
    std::int32_t FSwing = 0;
    std::int32_t FEvenUnitSize = 0;
    std::int32_t FOddUnitSize = 0;
    std::vector<std::int32_t> FDivisions;
};

} // namespace BrevWave
