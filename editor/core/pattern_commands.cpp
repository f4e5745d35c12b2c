// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_commands.h"

#include "editor/core/pattern_file.h"

#include <filesystem>

namespace brev {

std::string patternDirectory(const std::string& fileName) {
    std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string text = folder.string();
    if (text.back() != '/') {
        text += '/';
    }
    return text;
}

std::optional<std::string> loadPattern(PatternAccess& pattern, const std::string& fileName) {
    const std::string comment = readPatternFile(pattern, fileName);
    if (comment.empty()) {
        return std::nullopt;
    }
    return std::string(kPatternCaptionPrefix) + comment;
}

void savePattern(const PatternAccess& pattern, const std::string& fileName) {
    writePatternFile(pattern, fileName);
}

} // namespace brev
