// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/player_settings.h"

#include "base/error.h"
#include "editor/core/pattern_file.h"

#include <cstdio>
#include <exception>
#include <utility>

namespace brev {

namespace {

constexpr std::string_view kPatternKey = "pattern";
constexpr std::string_view kTextSuffix = "text";

// The pattern's index for "pattern<N><suffix>".
std::optional<std::size_t> patternIndex(std::string_view key, std::string_view suffix) {
    if (key.size() != kPatternKey.size() + 1 + suffix.size() || !key.starts_with(kPatternKey) ||
        !key.ends_with(suffix))
        return std::nullopt;
    const int number = key[kPatternKey.size()] - '0';
    if (number < 1 || number > kPatternCount)
        return std::nullopt;
    return static_cast<std::size_t>(number - 1);
}

} // namespace

void PlayerSettings::set(std::string_view key, const std::string& value) {
    if (key == "loop") {
        setLoop(value);
        return;
    }
    std::lock_guard lock(mutex_);
    if (const auto text = patternIndex(key, kTextSuffix)) {
        patterns_[*text].text = value.empty() ? std::nullopt : std::optional(value);
        patterns_[*text].restoring = true;
        supplyRecipe();
    } else if (const auto file = patternIndex(key, "")) {
        setPatternFile(patterns_[*file], value);
    }
}

std::string PlayerSettings::get(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (key == "loop")
        return loopFile_;
    if (key == "status")
        return problem_.empty() ? supply_.problem() : problem_;
    if (const auto text = patternIndex(key, kTextSuffix))
        return patterns_[*text].text.value_or(std::string());
    if (const auto file = patternIndex(key, ""))
        return patterns_[*file].file;
    return {};
}

// Loaded before the lock: reading the state meanwhile does not wait for a long decode.
void PlayerSettings::setLoop(const std::string& file) {
    std::shared_ptr<const LoadedAudio> loop;
    std::string problem;
    try {
        if (!file.empty())
            loop = std::make_shared<const LoadedAudio>(loadAudioFile(file));
    } catch (const std::exception& error) {
        problem = error.what();
    }
    std::lock_guard lock(mutex_);
    tell(problem);
    if (!problem.empty())
        return;
    loop_ = std::move(loop);
    loopFile_ = file;
    supplyRecipe();
}

void PlayerSettings::setPatternFile(Pattern& pattern, const std::string& file) {
    if (std::exchange(pattern.restoring, false)) {
        pattern.file = file;
        return;
    }
    try {
        std::optional<std::string> text;
        if (!file.empty()) {
            text = readPatternFileText(file, "Unable to read the pattern ");
            if (!text)
                throw Error("Unable to read the pattern " + file + "\nThe file does not exist");
        }
        pattern.text = std::move(text);
        pattern.file = file;
        tell({});
        supplyRecipe();
    } catch (const std::exception& error) {
        tell(error.what());
    }
}

void PlayerSettings::tell(std::string problem) {
    if (!problem.empty())
        std::fprintf(stderr, "BREV Pattern Player: %s\n", problem.c_str());
    problem_ = std::move(problem);
}

void PlayerSettings::supplyRecipe() {
    BarRecipe recipe;
    recipe.loop = loop_;
    for (std::size_t index = 0; index < patterns_.size(); ++index)
        recipe.patterns[index] = patterns_[index].text;
    supply_.setRecipe(std::move(recipe));
}

} // namespace brev
