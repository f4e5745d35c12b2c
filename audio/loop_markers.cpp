// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loop_markers.h"

#include "audio/twave.h"
#include "base/little_endian.h"

#include <bit>
#include <cmath>

namespace brev {

namespace {

// Appends one chunk at a time; sizes are fixed up when the chunk ends.
class ChunkBuilder {
public:
    void begin(const char* id) {
        text(id, 4);
        starts_.push_back(bytes_.size());
        u32(0);
    }
    // The size without the pad byte, which follows an odd payload.
    void end() {
        const std::size_t sizeAt = starts_.back();
        starts_.pop_back();
        writeLe32(bytes_.data() + sizeAt, static_cast<std::uint32_t>(bytes_.size() - sizeAt - 4));
        if (bytes_.size() % 2 != 0)
            bytes_.push_back(0);
    }
    void text(const char* chars, std::size_t count) {
        bytes_.insert(bytes_.end(), chars, chars + count);
    }
    void u16(std::uint16_t value) {
        bytes_.resize(bytes_.size() + 2);
        writeLe16(bytes_.data() + bytes_.size() - 2, value);
    }
    void u32(std::uint32_t value) {
        bytes_.resize(bytes_.size() + 4);
        writeLe32(bytes_.data() + bytes_.size() - 4, value);
    }
    void f32(float value) { u32(std::bit_cast<std::uint32_t>(value)); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> starts_;
};

constexpr std::uint16_t kMiddleC = 60;
constexpr std::uint32_t kStretch = 0x04;

} // namespace

std::vector<std::uint8_t> loopMarkerChunks(const LoopMarkers& markers) {
    ChunkBuilder riff;
    const auto count = static_cast<std::uint32_t>(markers.cueFrames.size());

    // Cue point ids count from 1; the labels name them.
    riff.begin("cue ");
    riff.u32(count);
    for (std::uint32_t id = 1; id <= count; ++id) {
        const std::uint32_t frame = markers.cueFrames[id - 1];
        riff.u32(id);
        riff.u32(frame);
        riff.text("data", 4);
        riff.u32(0); // chunk start and block start: plain PCM has one data chunk
        riff.u32(0);
        riff.u32(frame);
    }
    riff.end();

    riff.begin("LIST");
    riff.text("adtl", 4);
    for (std::uint32_t id = 1; id <= count && id <= markers.cueLabels.size(); ++id) {
        const std::string& label = markers.cueLabels[id - 1];
        riff.begin("labl");
        riff.u32(id);
        riff.text(label.c_str(), label.size() + 1);
        riff.end();
    }
    riff.end();

    riff.begin("smpl");
    riff.u32(0); // manufacturer
    riff.u32(0); // product
    riff.u32(static_cast<std::uint32_t>(std::lround(1e9 / BrevWave::kSampleRate)));
    riff.u32(kMiddleC); // unity note
    riff.u32(0);        // pitch fraction
    riff.u32(0);        // SMPTE format
    riff.u32(0);        // SMPTE offset
    riff.u32(1);        // loops
    riff.u32(0);        // sampler data
    riff.u32(0);        // loop id
    riff.u32(0);        // forward
    riff.u32(0);
    riff.u32(markers.loopFrames > 0 ? markers.loopFrames - 1 : 0); // the last frame played
    riff.u32(0);                                                   // fraction
    riff.u32(0);                                                   // play count: endless
    riff.end();

    riff.begin("acid");
    riff.u32(kStretch); // a loop, not a one-shot, that follows the song's tempo; no root note
    riff.u16(kMiddleC);
    riff.u16(0x8000);
    riff.f32(0);
    riff.u32(markers.beats);
    riff.u16(4); // meter: 4/4, denominator first
    riff.u16(4);
    riff.f32(markers.bpm);
    riff.end();
    return riff.take();
}

} // namespace brev
