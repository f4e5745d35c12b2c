// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/waveform_peaks.h"

#include <algorithm>

namespace brev {

RegionPeaks regionPeaks(std::span<const std::int16_t> frames, std::int32_t regionStart,
                        std::int32_t loopFrames, int width) {
    RegionPeaks peaks;
    const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(
        regionStart + static_cast<std::int64_t>(frames.size() / 2), loopFrames));
    if (width <= 0 || regionStart < 0 || regionStart >= end)
        return peaks;
    peaks.firstColumn = columnOfFrame(regionStart, loopFrames, width);
    const int lastColumn = columnOfFrame(end - 1, loopFrames, width);
    const int columns = lastColumn - peaks.firstColumn + 1;
    peaks.columns.reserve(static_cast<std::size_t>(columns));
    for (int column = peaks.firstColumn; column <= lastColumn; ++column) {
        const std::int32_t from =
            std::max(columnStartFrame(column, loopFrames, width), regionStart);
        const std::int32_t to = std::min(columnStartFrame(column + 1, loopFrames, width), end);
        const auto samples = frames.subspan(static_cast<std::size_t>(from - regionStart) * 2,
                                            static_cast<std::size_t>(to - from) * 2);
        if (samples.empty()) {
            // A loop shorter than the strip is wide leaves columns without a frame.
            peaks.columns.push_back({0, 0});
            continue;
        }
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        peaks.columns.push_back({*low, *high});
    }
    return peaks;
}

} // namespace brev
