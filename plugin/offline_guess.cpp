// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/offline_guess.h"

#include <algorithm>

namespace brev {

namespace {

// Beyond a host's scheduling jitter, short enough for an export's pre-roll to reveal it.
constexpr double kLeastLead = 0.1;
constexpr double kBlocksOfSlack = 4;

} // namespace

bool OfflineGuess::ahead(std::uint32_t frames, double rate, std::uint32_t maxBlock) {
    const Clock::time_point now = Clock::now();
    const double passed =
        last_ == Clock::time_point{} ? 0 : std::chrono::duration<double>(now - last_).count();
    last_ = now;
    lead_ = std::max(0.0, lead_ + frames / rate - passed);
    return lead_ > std::max(kLeastLead, kBlocksOfSlack * maxBlock / rate);
}

} // namespace brev
