// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace brev {

// How the waveform strip maps the loop onto its pixels: column c shows the frames from
// columnStartFrame(c) up to columnStartFrame(c + 1).
constexpr std::int32_t columnStartFrame(int column, std::int32_t loopFrames, int width) {
    return static_cast<std::int32_t>(std::int64_t{column} * loopFrames / width);
}

// The column that shows the frame (the last c with columnStartFrame(c) <= frame); frames past
// the loop's end fall on the last column.
constexpr int columnOfFrame(std::int32_t frame, std::int32_t loopFrames, int width) {
    if (loopFrames <= 0 || frame >= loopFrames)
        return width - 1;
    return static_cast<int>(((std::int64_t{frame} + 1) * width + loopFrames - 1) / loopFrames - 1);
}

// The row of a sample value in a strip of that height: full scale up at the top row, full
// scale down at the bottom row.
constexpr int sampleRow(int sample, int height) {
    return static_cast<int>((32767 - std::int64_t{sample}) * (height - 1) / 65535);
}

struct ColumnPeak {
    std::int16_t low;
    std::int16_t high;
};

// The lowest and highest sample, either channel, of every column a region touches. A column
// the region covers only in part holds the region's part.
struct RegionPeaks {
    int firstColumn = 0;
    std::vector<ColumnPeak> columns;
};

// frames: interleaved 16-bit stereo frames written at regionStart into a loop of loopFrames;
// what lies beyond the loop's end is not heard and not shown.
RegionPeaks regionPeaks(std::span<const std::int16_t> frames, std::int32_t regionStart,
                        std::int32_t loopFrames, int width);

} // namespace brev
