// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/bar_player.h"

#include <algorithm>
#include <cmath>

namespace brev {

void BarPlayer::render(const std::optional<HostBarClock::Place>& place, const PreparedBars& bars,
                       std::uint32_t frames, float* left, float* right) {
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    if (!place) {
        bar_ = -1;
        return;
    }
    std::int64_t bar = place->bar;
    double into = place->framesIntoBar;
    for (std::uint32_t i = 0; i < frames; ++i, ++into) {
        if (into >= place->barFrames) {
            into -= place->barFrames;
            ++bar;
        }
        if (bar != bar_) {
            // A pattern chosen within a bar waits for the next one; a locate takes it at once.
            playing_ = chosen_;
            bar_ = bar;
        }
        const std::vector<float>& l = bars.left[static_cast<std::size_t>(playing_)];
        const std::vector<float>& r = bars.right[static_cast<std::size_t>(playing_)];
        if (l.empty())
            continue;
        const auto length = static_cast<double>(l.size());
        const double at = into * length / place->barFrames;
        const auto whole = static_cast<std::size_t>(at);
        const double part = at - static_cast<double>(whole);
        const std::size_t next = std::min(whole + 1, l.size() - 1);
        left[i] = static_cast<float>(l[whole] + (l[next] - l[whole]) * part);
        right[i] = static_cast<float>(r[whole] + (r[next] - r[whole]) * part);
    }
}

} // namespace brev
