// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/bar_maker.h"

#include "base/error.h"
#include "editor/core/bar_renderer.h"
#include "editor/core/pattern_controls.h"
#include "editor/core/pattern_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace brev {

std::unique_ptr<PreparedBars> makeBars(const BarRecipe& recipe) {
    BarRenderer renderer;
    LoopDocument& document = renderer.document();
    document.setTarget({static_cast<int>(std::lround(recipe.stretchToBpm * 100)), 0});
    if (std::string problem = document.load(recipe.loop, {}); !problem.empty())
        throw Error(problem);
    auto bars = std::make_unique<PreparedBars>();
    for (std::size_t index = 0; index < recipe.patterns.size(); ++index) {
        if (!recipe.patterns[index])
            continue;
        document.pattern().resetToDefaults();
        document.setSwitch(kInnerFadesButton, true);
        document.setSwitch(kLogFadesButton, true);
        readPatternText(document.pattern(), *recipe.patterns[index], PatternSwitches::FromFile);
        renderer.renderSlots();
        const BrevWave::TWave& bar = renderer.bar();
        const auto frames = static_cast<std::size_t>(bar.GetSamples());
        bars->left[index].resize(frames);
        bars->right[index].resize(frames);
        for (std::size_t frame = 0; frame < frames; ++frame) {
            std::int16_t pair[2];
            std::memcpy(pair, bar.GetData() + frame * kFrameBytes, sizeof pair);
            bars->left[index][frame] = pair[0] / 32768.0f;
            bars->right[index][frame] = pair[1] / 32768.0f;
        }
    }
    return bars;
}

} // namespace brev
