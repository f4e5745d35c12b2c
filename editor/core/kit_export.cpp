// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/kit_export.h"

#include "audio/loop_markers.h"
#include "audio/loop_tempo.h"
#include "audio/midi_file.h"
#include "audio/wave_writer.h"
#include "base/byte_stream.h"
#include "base/error.h"
#include "base/name_limit.h"
#include "base/save_target.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

namespace brev {

namespace {

constexpr int kFirstKey = 36;
constexpr std::uint8_t kDrumChannel = 9; // channel 10, counted from 0
constexpr std::uint8_t kVelocity = 100;
constexpr std::uint16_t kTicksPerQuarter = 960;
constexpr std::uint32_t kBeats = 4;

std::int32_t slotEnd(const KitLayout& layout, int slot) {
    return slot + 1 < kSlotCount ? layout.starts[static_cast<std::size_t>(slot + 1)]
                                 : layout.frames;
}

// A beat of the loop in NAME.mid: one quarter note, or as many as it takes when the beat is
// slower than a tempo event can state, so that the notes still fall on the cue points in seconds.
struct MidiBeat {
    std::uint32_t quartersPerBeat = 1;
    std::uint32_t microsPerQuarter = 1;
};

MidiBeat midiBeat(std::int32_t loopFrames) {
    const double beatMicros = loopFrames * 1e6 / BrevWave::kSampleRate / kBeats;
    MidiBeat beat;
    beat.quartersPerBeat =
        std::max(1u, static_cast<std::uint32_t>(std::ceil(beatMicros / kMaxMicrosPerQuarter)));
    beat.microsPerQuarter =
        std::max(1u, static_cast<std::uint32_t>(std::lround(beatMicros / beat.quartersPerBeat)));
    return beat;
}

// At the tempo as written, rounded to whole microseconds, rather than the loop's own.
std::uint32_t tickOfFrame(const MidiBeat& beat, std::int32_t frame) {
    const double quarters = frame * 1e6 / BrevWave::kSampleRate / beat.microsPerQuarter;
    return static_cast<std::uint32_t>(std::lround(quarters * kTicksPerQuarter));
}

std::vector<std::uint8_t> kitMarkers(const KitLayout& layout) {
    LoopMarkers markers;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        markers.cueFrames.push_back(
            static_cast<std::uint32_t>(layout.starts[static_cast<std::size_t>(slot)]));
        markers.cueLabels.push_back("Slot " + std::to_string(slot + 1));
    }
    markers.loopFrames = static_cast<std::uint32_t>(layout.frames);
    markers.bpm = static_cast<float>(layout.bpm);
    markers.beats = kBeats;
    return loopMarkerChunks(markers);
}

// What NAME.sfz cannot hold in a sample's file name: a line end or another control character
// ends the line, '<' and '>' make a header, '=' an opcode and a backslash a folder.
bool breaksSfzLine(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F ||
           std::string_view("<>=\\").find(c) != std::string_view::npos;
}

} // namespace

KitLayout kitLayout(const SegmentStore& store) {
    KitLayout layout;
    for (int slot = 0; slot < kSlotCount; ++slot)
        layout.starts[static_cast<std::size_t>(slot)] = store.regionStart(slot);
    layout.frames = store.SourceSamples();
    layout.bpm = loopTempo(layout.frames);
    return layout;
}

std::span<const std::uint8_t> kitSlot(std::span<const std::uint8_t> loop, const KitLayout& layout,
                                      int slot) {
    const auto start = static_cast<std::size_t>(layout.starts[static_cast<std::size_t>(slot)]) *
                       BrevWave::kFrameBytes;
    // The last slot takes a part frame at the loop's end along, as a save writes it.
    const std::size_t end =
        slot + 1 < kSlotCount
            ? static_cast<std::size_t>(slotEnd(layout, slot)) * BrevWave::kFrameBytes
            : loop.size();
    return loop.subspan(start, end - start);
}

std::string kitName(const std::string& loopFileName, const std::string& folder) {
    std::string name =
        loopFileName.empty() ? "Clipboard" : std::filesystem::path(loopFileName).stem().string();
    std::replace_if(name.begin(), name.end(), breaksSfzLine, '_');
    const std::size_t suffix = kitSlotFileName("", 0).size();
    const std::size_t limit = nameLimit(folder);
    return std::string(fittedName(name, limit > suffix ? limit - suffix : 0));
}

std::string kitSlotFileName(const std::string& name, int slot) {
    char number[16];
    std::snprintf(number, sizeof number, "-%02d", slot + 1);
    return name + number + ".wav";
}

std::string kitSfz(const std::string& name) {
    std::string text = "// " + name + ": slot N plays on key " + std::to_string(kFirstKey - 1) +
                       " + N, once through\n";
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string key = std::to_string(kFirstKey + slot);
        // The sample last: its name may hold spaces.
        text += "<region> key=" + key + " pitch_keycenter=" + key +
                " loop_mode=one_shot sample=" + kitSlotFileName(name, slot) + "\n";
    }
    return text;
}

std::string kitMidi(const KitLayout& layout) {
    const MidiBeat beat = midiBeat(layout.frames);
    std::vector<MidiNote> notes;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        notes.push_back({tickOfFrame(beat, layout.starts[static_cast<std::size_t>(slot)]),
                         tickOfFrame(beat, slotEnd(layout, slot)), kDrumChannel,
                         static_cast<std::uint8_t>(kFirstKey + slot), kVelocity});
    }
    return midiFileOfNotes(kTicksPerQuarter, beat.microsPerQuarter, notes,
                           kBeats * beat.quartersPerBeat * kTicksPerQuarter);
}

void writeKit(const std::string& folder, const std::string& name, const SegmentStore& store) {
    if (!store.IsLoaded())
        throw Error("Load some audio first");
    // Created as a save creates folders: never through a link planted in a shared folder.
    HeldFolder created;
    if (const int error = openSaveFolder(folder, created))
        throw Error("Unable to create the folder " + folder + "\n" + errorReason(error));
    // Every file goes into the folder checked and made here, whatever takes its name meanwhile.
    const FolderToWrite into{created, folder};
    const KitLayout layout = kitLayout(store);
    const std::span<const std::uint8_t> loop = store.joinSlots().bytes();
    for (int slot = 0; slot < kSlotCount; ++slot)
        writeWaveFile(into, kitSlotFileName(name, slot), kitSlot(loop, layout, slot));
    writeWaveFile(into, name + ".wav", loop, kitMarkers(layout));
    writeWholeFile(into, name + ".sfz", kitSfz(name));
    writeWholeFile(into, name + ".mid", kitMidi(layout));
}

} // namespace brev
