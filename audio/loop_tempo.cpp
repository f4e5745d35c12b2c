// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loop_tempo.h"

#include "audio/loop_layout.h"

#include <cmath>

namespace brev {

namespace {

// 44100 frames × 60 seconds / 4 sixteenths per beat: the tempo of a one-frame sixteenth.
constexpr double kTempoFrames = 661500;

bool keepsTempo(std::int32_t frames, int targetCentiBpm) {
    return targetCentiBpm == 0 || std::lround(loopTempo(frames) * 100) == targetCentiBpm;
}

} // namespace

double loopTempo(std::int32_t frames) {
    const std::int32_t sixteenth = frames / kSlotCount;
    return sixteenth > 0 ? kTempoFrames / sixteenth : 0;
}

bool changesLoop(std::int32_t frames, const LoopStretch& stretch) {
    if (loopTempo(frames) == 0)
        return false;
    return stretch.pitchSemitones != 0 || !keepsTempo(frames, stretch.targetCentiBpm);
}

double timeRatio(std::int32_t frames, const LoopStretch& stretch) {
    if (loopTempo(frames) == 0 || keepsTempo(frames, stretch.targetCentiBpm))
        return 1;
    return loopTempo(frames) * 100 / stretch.targetCentiBpm;
}

std::int64_t stretchedFrames(std::int32_t frames, const LoopStretch& stretch) {
    return std::llround(static_cast<double>(frames) * timeRatio(frames, stretch));
}

} // namespace brev
