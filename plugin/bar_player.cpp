// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/bar_player.h"

#include <algorithm>
#include <cmath>

namespace brev {

void BarPlayer::render(const std::optional<HostBarClock::Place>& place, BarSource& source,
                       std::uint32_t frames, float* left, float* right) {
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    if (!place) {
        bar_ = -1;
        return;
    }
    std::int64_t bar = place->bar;
    double into = place->framesIntoBar;
    double nextBar = place->toNextBar; // from the block's first frame
    for (std::uint32_t i = 0; i < frames; ++i, ++into) {
        if (i >= nextBar) {
            into = i - nextBar;
            nextBar += place->barFrames;
            ++bar;
        }
        // With nothing to play, the first bars made play at once, from where the bar is.
        if (bar != bar_ || !bars_) {
            bars_ = source.atBarStart();
            playing_ = chosen_.load(std::memory_order_relaxed);
            bar_ = bar;
        }
        if (!bars_)
            continue;
        const PreparedBars::Bar& played = bars_->bar(playing_);
        if (played.left.empty())
            continue;
        // A bar ending a few frames late, where the clock moved, holds its last sample.
        const auto last = static_cast<double>(played.left.size() - 1);
        const double at = std::min(into * (last + 1) / place->barFrames, last);
        const auto whole = static_cast<std::size_t>(at);
        const double part = at - static_cast<double>(whole);
        const std::size_t next = std::min(whole + 1, played.left.size() - 1);
        left[i] = static_cast<float>(played.left[whole] +
                                     (played.left[next] - played.left[whole]) * part);
        right[i] = static_cast<float>(played.right[whole] +
                                      (played.right[next] - played.right[whole]) * part);
    }
}

} // namespace brev
