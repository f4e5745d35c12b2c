// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The per-slot effects on a whole wave; the sample work is in pcm_effects.
#include "audio/pcm_effects.h"
#include "audio/twave.h"

namespace BrevWave {

void TWave::ApplyFadeIn(int length, int offset, bool linear) {
    brev::fadeIn(bytes(), length, offset, linear);
}

void TWave::ApplyFadeOut(int length, int offset, bool linear) {
    brev::fadeOut(bytes(), length, offset, linear);
}

void TWave::Deckstop(int step) {
    brev::deckstop(bytes(), step);
}

void TWave::ApplyRepeats(int count, int innerFade) {
    brev::repeats(bytes(), count, innerFade);
}

void TWave::ApplyVolume(int attenuation) {
    brev::changeVolume(bytes(), attenuation);
}

void TWave::ApplyStaccato(int divider, int fade) {
    brev::staccato(bytes(), divider, fade);
}

void TWave::Reverse() {
    brev::reverse(bytes());
}

void TWave::Silence() {
    brev::silence(bytes());
}

void TWave::SilenceLeft() {
    brev::silenceLeft(bytes());
}

void TWave::SilenceRight() {
    brev::silenceRight(bytes());
}

void TWave::SwapChannels() {
    brev::swapChannels(bytes());
}

void TWave::InvertPhase() {
    brev::invertPhase(bytes());
}

} // namespace BrevWave
