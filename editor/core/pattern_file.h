// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/error.h"
#include "editor/core/pattern_access.h"

#include <optional>
#include <string>
#include <string_view>

namespace brev {

inline constexpr std::string_view kPatternSection = "Saved Pattern";
inline constexpr std::string_view kPatternExtension = "brev";

// What a load does with the inner-fades and log-fades switches a saved pattern carries: the
// editor keeps its own toolbar state, brev-render renders as the pattern was saved.
enum class PatternSwitches { Keep, FromFile };

// Sets the controls from a pattern in INI form, globals first, then slot by slot; a missing or
// odd value takes its key's default and the controls clamp the rest. Smart fades are held up
// while the values arrive, so the fade flags stay as the file has them. Returns the
// hand-written "Comment" (empty when there is none).
std::string readPatternText(PatternAccess& pattern, std::string_view text,
                            PatternSwitches switches = PatternSwitches::Keep);

// A pattern file's text, or nullopt when it does not exist. Any other failure raises an Error
// starting with what and the name, and so does a file too large for a pattern; a FIFO or a
// device is refused without waiting on it.
std::optional<std::string> readPatternFileText(const std::string& fileName, const char* what);

// The same from a file. A missing file reads as an empty one (every key at its default); a
// file that exists but cannot be read, is not a regular file or holds more than 1 MB raises an
// Error and changes nothing.
std::string readPatternFile(PatternAccess& pattern, const std::string& fileName,
                            PatternSwitches switches = PatternSwitches::Keep);

// The pattern's keys written into existing INI text: the other keys, sections and comments
// are kept, and keys that exist keep their place and spelling. The inner-fades and log-fades
// switches follow as two extra keys, which older readers keep as unknown keys.
std::string writePatternText(const PatternAccess& pattern, std::string_view existing);

// Writes the pattern into fileName. The file is replaced as a whole only when the new one is
// complete: on failure the previous file is untouched and an Error says why.
void writePatternFile(const PatternAccess& pattern, const std::string& fileName);

} // namespace brev
