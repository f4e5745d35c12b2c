// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

#include <optional>
#include <string>
#include <string_view>

namespace brev {

inline constexpr std::string_view kPatternDirectorySetting = "Pattern directory";
inline constexpr std::string_view kPatternCaptionPrefix = "BREV Edit - ";

// The folder of a chosen pattern file with a trailing separator, as "Pattern directory" keeps it.
std::string patternDirectory(const std::string& fileName);

// Reads the pattern file into the controls (smart fades held off meanwhile, so the loaded fade
// flags stay). Returns the new window caption, "BREV Edit - " + the file's "Comment", or
// nothing when the comment is empty and the caption stays. Errors leave the pattern unchanged.
std::optional<std::string> loadPattern(PatternAccess& pattern, const std::string& fileName);

// Writes the pattern's keys into the file, keeping its other keys and its "Comment"; the old file
// stays intact when the save fails.
void savePattern(const PatternAccess& pattern, const std::string& fileName);

} // namespace brev
