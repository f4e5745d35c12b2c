// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

// The per-slot effects on PCM bytes in place: interleaved stereo 16-bit frames, as TWave and the
// segment store hold them. All keep the length and work on whole frames; trailing bytes behind
// the last whole frame are left alone (only silence clears them). Nothing here allocates.
namespace brev {

using PcmBytes = std::span<std::uint8_t>;

void fadeIn(PcmBytes pcm, int length, int offset, bool linear);
void fadeOut(PcmBytes pcm, int length, int offset, bool linear);
void deckstop(PcmBytes pcm, int step);
// Raises "GetSegment - SegmentSize 0" when a repeat would hold no frame.
void repeats(PcmBytes pcm, int count, int innerFade);
void changeVolume(PcmBytes pcm, int attenuation);
// Raises "GetSegment - SegmentSize 0" when the played part would hold no frame.
void staccato(PcmBytes pcm, int divider, int fade);
void reverse(PcmBytes pcm);
void silence(PcmBytes pcm);
void silenceLeft(PcmBytes pcm);
void silenceRight(PcmBytes pcm);
void swapChannels(PcmBytes pcm);
void invertPhase(PcmBytes pcm);

} // namespace brev
