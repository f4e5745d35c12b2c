// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/bar_maker.h"

#include "audio/sample_math.h"
#include "editor/core/bar_renderer.h"
#include "editor/core/pattern_controls.h"
#include "editor/core/pattern_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace brev {

namespace {

PreparedBars::Bar floatBar(const BrevWave::TWave& wave) {
    const auto frames = static_cast<std::size_t>(wave.GetSamples());
    std::vector<std::int16_t> samples(2 * frames);
    std::memcpy(samples.data(), wave.GetData(), samples.size() * sizeof(std::int16_t));
    PreparedBars::Bar bar{std::vector<float>(frames), std::vector<float>(frames)};
    splitToFloats(samples.data(), frames, bar.left.data(), bar.right.data());
    return bar;
}

} // namespace

std::unique_ptr<PreparedBars> makeBars(const BarRecipe& recipe) {
    BarRenderer renderer;
    LoopDocument& document = renderer.document();
    document.setTarget({static_cast<int>(std::lround(recipe.stretchToBpm * 100)), 0});
    auto made = std::make_unique<PreparedBars>();
    made->problem = document.load(*recipe.loop, {});
    made->generation = recipe.generation;
    made->bpm = recipe.stretchToBpm;
    // Patterns of the same text share their bar: a long loop is not held eight times over.
    std::vector<const std::optional<std::string>*> madeFrom;
    for (std::size_t index = 0; index < recipe.patterns.size(); ++index) {
        const std::optional<std::string>& pattern = recipe.patterns[index];
        const auto same = std::find_if(madeFrom.begin(), madeFrom.end(),
                                       [&](const auto* other) { return *other == pattern; });
        made->barOfPattern[index] = static_cast<std::size_t>(same - madeFrom.begin());
        if (same != madeFrom.end())
            continue;
        madeFrom.push_back(&pattern);
        document.pattern().resetToDefaults();
        document.setSwitch(kInnerFadesButton, true);
        document.setSwitch(kLogFadesButton, true);
        if (pattern)
            readPatternText(document.pattern(), *pattern, PatternSwitches::FromFile);
        renderer.renderSlots();
        made->bars.push_back(floatBar(renderer.bar()));
    }
    return made;
}

} // namespace brev
