// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/audio_import.h"
#include "plugin/bar_player.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace brev {

// What the plugin's bars are made of.
struct BarRecipe {
    std::shared_ptr<const LoadedAudio> loop; // as loaded and converted
    // Each pattern as Save pattern writes it; none: the pattern of a new window.
    std::array<std::optional<std::string>, kPatternCount> patterns;
    std::uint64_t generation = 0;
    // The host's tempo the loop is stretched to, keeping its pitch; 0: the loop's own tempo,
    // which the player then speeds up or slows down.
    double stretchToBpm = 0;
};

// Off the audio thread: each pattern applied to the loop as brev-render --pattern applies it
// (the pattern of a new window, then the file's values with its fade switches), at the tempo.
// A tempo the loop cannot be stretched to leaves it at its own, saying why in the bars'
// problem; what loading or rendering raised is raised.
std::unique_ptr<PreparedBars> makeBars(const BarRecipe& recipe);

} // namespace brev
