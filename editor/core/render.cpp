#include "editor/core/render.h"

#include <cmath>
#include <numbers>
#include <utility>

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

void RenderSegment(PatternAccess& pattern, SegmentStore& store, int slot) {
    // Every value is read just before its step, so a render sees the controls as they are then.
    bool linear = !pattern.toggleDown(kLogFadesButton);
    int offset = AngleOffset(pattern);

    int segment = pattern.slotNumber(kSegmentNumber, slot);
    BrevWave::TWave wave;
    store.GetSegment(segment, slot, wave);
    if (wave.GetSamples() == 0) {
        throw Error("TInterfaceForm::RenderSegment() - segment 0 length");
    }

    int fade = pattern.NumberValue(kFadeSamplesNumber);
    int step = deckstopStep(pattern);

    // Fit to the position: a longer segment is cut and faded whether or not its fade-out is on.
    std::int32_t length = wave.GetSamples();
    std::int32_t natural = store.NaturalLength(slot);
    if (length < natural) {
        wave.SetLength(natural);
    } else if (length > natural) {
        wave.SetLength(natural);
        wave.ApplyFadeOut(fade, offset, linear);
    }

    if (pattern.slotCheck(kDeckstopCheckText, slot)) {
        wave.Deckstop(step);
    }
    int repeats = pattern.slotNumber(kRepeatsNumber, slot);
    if (repeats > 1) {
        wave.ApplyRepeats(repeats, pattern.toggleDown(kInnerFadesButton) ? fade : 0);
    }
    int volume = pattern.slotNumber(kVolumeNumber, slot);
    if (volume != 0) {
        wave.ApplyVolume(-volume);
    }
    if (pattern.slotCheck(kStaccatoCheckText, slot)) {
        wave.ApplyStaccato(pattern.slotNumber(kDividerNumber, slot), fade);
    }
    if (pattern.slotCheck(kReverseCheckText, slot)) {
        wave.Reverse();
    }
    if (pattern.slotCheck(kMuteCheckText, slot)) {
        wave.Silence();
    }
    if (pattern.slotCheck(kMuteLeftCheckText, slot)) {
        wave.SilenceLeft();
    }
    if (pattern.slotCheck(kMuteRightCheckText, slot)) {
        wave.SilenceRight();
    }
    if (pattern.slotCheck(kFlipCheckText, slot)) {
        wave.SwapChannels();
    }
    if (pattern.slotCheck(kPhaseCheckText, slot)) {
        wave.InvertPhase();
    }
    if (pattern.slotCheck(kFadeInCheckText, slot)) {
        wave.ApplyFadeIn(fade, offset, linear);
    }
    if (pattern.slotCheck(kFadeOutCheckText, slot)) {
        wave.ApplyFadeOut(fade, offset, linear);
    }
    store.StoreSlot(slot, std::move(wave));
}

void renderAll(PatternAccess& pattern, SegmentStore& store) {
    for (int slot = 0; slot < SegmentStore::kCount; ++slot) {
        RenderSegment(pattern, store, slot);
    }
}

} // namespace brev
