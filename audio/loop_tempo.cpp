// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loop_tempo.h"

#include "audio/loop_layout.h"

#include <cmath>

namespace brev {

namespace {

// 4 beats × 60 seconds × 44100 frames: the tempo of a one-frame bar.
constexpr double kBarFrames = 240.0 * 44100;

bool keepsTempo(std::int32_t frames, int targetCentiBpm) {
    return targetCentiBpm == 0 || std::lround(loopTempo(frames) * 100) == targetCentiBpm;
}

} // namespace

double loopTempo(std::int32_t frames) {
    return frames >= kSlotCount ? kBarFrames / frames : 0;
}

bool changesLoop(std::int32_t frames, const LoopStretch& stretch) {
    if (loopTempo(frames) == 0)
        return false;
    return stretch.pitchSemitones != 0 || !keepsTempo(frames, stretch.targetCentiBpm);
}

std::int64_t stretchedFrames(std::int32_t frames, const LoopStretch& stretch) {
    if (loopTempo(frames) == 0 || keepsTempo(frames, stretch.targetCentiBpm))
        return frames;
    return std::llround(kBarFrames * 100 / stretch.targetCentiBpm);
}

double timeRatio(std::int32_t frames, const LoopStretch& stretch) {
    return frames > 0 ? static_cast<double>(stretchedFrames(frames, stretch)) / frames : 1;
}

} // namespace brev
