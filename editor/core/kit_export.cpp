// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/kit_export.h"

#include "audio/loop_markers.h"
#include "audio/loop_tempo.h"
#include "audio/midi_file.h"
#include "audio/wave_writer.h"
#include "base/byte_stream.h"
#include "base/error.h"
#include "base/save_target.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
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

std::uint32_t tickOfFrame(const KitLayout& layout, std::int32_t frame) {
    const double quarters = frame / double(BrevWave::kSampleRate) * layout.bpm / 60;
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

std::string kitName(const std::string& loopFileName) {
    if (loopFileName.empty())
        return "Clipboard";
    return std::filesystem::path(loopFileName).stem().string();
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
    std::vector<MidiNote> notes;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        notes.push_back({tickOfFrame(layout, layout.starts[static_cast<std::size_t>(slot)]),
                         tickOfFrame(layout, slotEnd(layout, slot)), kDrumChannel,
                         static_cast<std::uint8_t>(kFirstKey + slot), kVelocity});
    }
    const auto microsPerQuarter = static_cast<std::uint32_t>(std::lround(60e6 / layout.bpm));
    return midiFileOfNotes(kTicksPerQuarter, microsPerQuarter, notes, kBeats * kTicksPerQuarter);
}

void writeKit(const std::string& folder, const std::string& name, const SegmentStore& store) {
    if (!store.IsLoaded())
        throw Error("Load some audio first");
    // Created as a save creates folders: never through a link planted in a shared folder.
    HeldFolder created;
    if (const int error = openSaveFolder(folder, created))
        throw Error("Unable to create the folder " + folder + "\n" + errorReason(error));
    const std::string stem = (std::filesystem::path(folder) / name).string();
    const KitLayout layout = kitLayout(store);
    const std::span<const std::uint8_t> loop = store.joinSlots().bytes();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        writeWaveFile((std::filesystem::path(folder) / kitSlotFileName(name, slot)).string(),
                      kitSlot(loop, layout, slot));
    }
    writeWaveFile(stem + ".wav", loop, kitMarkers(layout));
    writeWholeFile(stem + ".sfz", kitSfz(name));
    writeWholeFile(stem + ".mid", kitMidi(layout));
}

} // namespace brev
