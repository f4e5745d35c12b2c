// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace brev {

// What a loop is stretched to: a tempo in hundredths of a BPM (0: the loop's own) and a shift
// of its pitch in semitones.
struct LoopStretch {
    int targetCentiBpm = 0;
    int pitchSemitones = 0;

    bool operator==(const LoopStretch&) const = default;
};

inline constexpr int kMinTargetCentiBpm = 2000;
inline constexpr int kMaxTargetCentiBpm = 40000;
inline constexpr int kMaxPitchSemitones = 12;

// The loop's own tempo: it is one bar of four beats at 44100 frames a second (the tempo table
// keeps its own figure, from a sixteenth's whole frames). 0 for a loop of fewer than 16 frames.
double loopTempo(std::int32_t frames);

// Whether stretch changes a loop of frames frames. A target that shows as the loop's own tempo
// (to the hundredth, as the tempo table prints it) with no pitch shift leaves it untouched.
bool changesLoop(std::int32_t frames, const LoopStretch& stretch);

// Frames of the stretched loop: exactly one bar at the target, round(240 × 44100 / target).
std::int64_t stretchedFrames(std::int32_t frames, const LoopStretch& stretch);

// The time ratio the loop is stretched by: stretched frames / frames; 1 at the loop's own tempo.
double timeRatio(std::int32_t frames, const LoopStretch& stretch);

} // namespace brev
