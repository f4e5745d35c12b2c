// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/player_settings.h"

#include "base/error.h"
#include "editor/core/pattern_file.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <utility>

namespace brev {

namespace {

constexpr std::string_view kFileKey = "pattern";
constexpr std::string_view kTextKey = "pattern-text";

// The pattern's index for "<prefix><N>".
std::optional<std::size_t> patternIndex(std::string_view key, std::string_view prefix) {
    if (key.size() != prefix.size() + 1 || !key.starts_with(prefix))
        return std::nullopt;
    const int number = key.back() - '0';
    if (number < 1 || number > kPatternCount)
        return std::nullopt;
    return static_cast<std::size_t>(number - 1);
}

// A state saved without that file holds an empty path, which LV2 hosts restore as the state's
// own folder.
bool isNoFile(const std::string& value) {
    std::error_code error;
    return value.empty() || std::filesystem::is_directory(value, error);
}

} // namespace

void PlayerSettings::set(std::string_view key, const std::string& value) {
    if (key == "loop") {
        if (!isNoFile(value))
            setLoop(value);
        return;
    }
    std::lock_guard lock(mutex_);
    if (const auto text = patternIndex(key, kTextKey)) {
        patterns_[*text].restoring = true;
        if (!value.empty()) {
            patterns_[*text].text = value;
            supplyRecipe();
        }
    } else if (const auto file = patternIndex(key, kFileKey)) {
        setPatternFile(key, patterns_[*file], value);
    }
}

std::string PlayerSettings::get(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (key == "loop")
        return loopFile_;
    if (key == "status") {
        std::string status = supply_.problem();
        for (const auto& [_, problem] : problems_)
            status += (status.empty() ? "" : "\n") + problem;
        return status;
    }
    if (const auto text = patternIndex(key, kTextKey))
        return patterns_[*text].text.value_or(std::string());
    if (const auto file = patternIndex(key, kFileKey))
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
    loopFile_ = file;
    tell("loop", problem);
    if (!problem.empty())
        return;
    loop_ = std::move(loop);
    supplyRecipe();
}

void PlayerSettings::setPatternFile(std::string_view key, Pattern& pattern,
                                    const std::string& file) {
    const bool restoring = std::exchange(pattern.restoring, false);
    if (isNoFile(file))
        return;
    if (restoring) {
        pattern.file = file;
        return;
    }
    pattern.file = file;
    try {
        std::optional<std::string> text = readPatternFileText(file, "Unable to read the pattern ");
        if (!text)
            throw Error("Unable to read the pattern " + file + "\nThe file does not exist");
        pattern.text = std::move(text);
        tell(key, {});
        supplyRecipe();
    } catch (const std::exception& error) {
        tell(key, error.what());
    }
}

void PlayerSettings::tell(std::string_view key, std::string problem) {
    if (problem.empty()) {
        if (const auto known = problems_.find(key); known != problems_.end())
            problems_.erase(known);
        return;
    }
    std::fprintf(stderr, "BREV Pattern Player: %s\n", problem.c_str());
    problems_.insert_or_assign(std::string(key), std::move(problem));
}

void PlayerSettings::supplyRecipe() {
    BarRecipe recipe;
    recipe.loop = loop_;
    for (std::size_t index = 0; index < patterns_.size(); ++index)
        recipe.patterns[index] = patterns_[index].text;
    supply_.setRecipe(std::move(recipe));
}

} // namespace brev
