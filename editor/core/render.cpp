// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/render.h"

#include "audio/pcm_effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brev {

int AngleOffset(const PatternAccess& pattern) {
    double angle = pattern.NumberValue(kCuttingAngleNumber);
    // The 44100 is fixed: the offset follows neither the loaded wave nor the playback rate.
    double offset = std::tan(angle * std::numbers::pi * (1.0 / 180.0)) * 6.4 / 380.0 * 44100.0;
    return static_cast<int>(offset);
}

int deckstopStep(const PatternAccess& pattern) {
    return 2001 - 20 * pattern.NumberValue(kDeckstopRampNumber);
}

namespace {

// Whether slot plays its own segment with nothing done to it: then the render is that segment
// as it is.
bool untreated(const PatternAccess& pattern, int slot) {
    if (pattern.slotNumber(kSegmentNumber, slot) != slot ||
        pattern.slotNumber(kRepeatsNumber, slot) > 1 ||
        pattern.slotNumber(kVolumeNumber, slot) != 0) {
        return false;
    }
    for (auto flag : {kDeckstopCheckText, kStaccatoCheckText, kReverseCheckText, kMuteCheckText,
                      kMuteLeftCheckText, kMuteRightCheckText, kFlipCheckText, kPhaseCheckText,
                      kFadeInCheckText, kFadeOutCheckText}) {
        if (pattern.slotCheck(flag, slot)) {
            return false;
        }
    }
    return true;
}

// From the fitting on: the slot fitted to its position from raw, then its effects in their order.
void renderFromRaw(const PatternAccess& pattern, int slot, PcmBytes wave,
                   std::span<const std::uint8_t> raw, bool linear, int offset) {
    int fade = pattern.NumberValue(kFadeSamplesNumber);
    int step = deckstopStep(pattern);

    // Fit to the position: a longer segment is cut and faded whether or not its fade-out is on;
    // a shorter one ends in silence.
    const std::size_t kept = std::min(raw.size(), wave.size());
    std::copy_n(raw.begin(), kept, wave.begin());
    silence(wave.subspan(kept));
    if (raw.size() > wave.size()) {
        fadeOut(wave, fade, offset, linear);
    }

    if (pattern.slotCheck(kDeckstopCheckText, slot)) {
        deckstop(wave, step);
    }
    int repeatCount = pattern.slotNumber(kRepeatsNumber, slot);
    if (repeatCount > 1) {
        repeats(wave, repeatCount, pattern.toggleDown(kInnerFadesButton) ? fade : 0);
    }
    int volume = pattern.slotNumber(kVolumeNumber, slot);
    if (volume != 0) {
        changeVolume(wave, -volume);
    }
    if (pattern.slotCheck(kStaccatoCheckText, slot)) {
        staccato(wave, pattern.slotNumber(kDividerNumber, slot), fade);
    }
    if (pattern.slotCheck(kReverseCheckText, slot)) {
        reverse(wave);
    }
    if (pattern.slotCheck(kMuteCheckText, slot)) {
        silence(wave);
    }
    if (pattern.slotCheck(kMuteLeftCheckText, slot)) {
        silenceLeft(wave);
    }
    if (pattern.slotCheck(kMuteRightCheckText, slot)) {
        silenceRight(wave);
    }
    if (pattern.slotCheck(kFlipCheckText, slot)) {
        swapChannels(wave);
    }
    if (pattern.slotCheck(kPhaseCheckText, slot)) {
        invertPhase(wave);
    }
    if (pattern.slotCheck(kFadeInCheckText, slot)) {
        fadeIn(wave, fade, offset, linear);
    }
    if (pattern.slotCheck(kFadeOutCheckText, slot)) {
        fadeOut(wave, fade, offset, linear);
    }
}

} // namespace

void RenderSegment(const PatternAccess& pattern, SegmentStore& store, int slot) {
    // Every value is read just before its step, so a render sees the controls as they are then.
    bool linear = !pattern.toggleDown(kLogFadesButton);
    int offset = AngleOffset(pattern);

    int segment = pattern.slotNumber(kSegmentNumber, slot);
    // The slot is rendered in its place in the store, straight from the segment: no copies.
    PcmBytes wave = store.renderSlot(segment, slot);
    std::span<const std::uint8_t> raw = store.segment(segment);
    if (raw.empty()) {
        throw Error("TInterfaceForm::RenderSegment() - segment 0 length");
    }
    if (untreated(pattern, slot)) {
        store.keepRaw(slot);
        return;
    }
    try {
        renderFromRaw(pattern, slot, wave, raw, linear, offset);
    } catch (const Error&) {
        // An effect that fails leaves the slot as the raw copy of its segment.
        store.StoreSlot(slot, BrevWave::TWave(raw.data(), static_cast<std::int32_t>(raw.size())));
        throw;
    }
}

void renderAll(const PatternAccess& pattern, SegmentStore& store) {
    for (int slot = 0; slot < SegmentStore::kCount; ++slot) {
        RenderSegment(pattern, store, slot);
    }
}

} // namespace brev
