// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary text as a pattern file: reading never crashes, and a pattern saved into that
// text reads back with the same values.

#include "editor/core/pattern_file.h"
#include "editor/core/pattern_model.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    brev::PatternModel model;
    try {
        brev::readPatternText(model, text);
    } catch (const brev::Error&) {
        return 0;
    }
    std::string saved;
    try {
        saved = brev::writePatternText(model, text);
    } catch (const brev::Error&) {
        return 0;
    }
    brev::PatternModel again;
    again.resetToDefaults();
    brev::readPatternText(again, saved);
    for (const auto& control : brev::patternControls()) {
        bool same = control.kind == brev::ControlKind::Number
                        ? model.NumberValue(control.name) == again.NumberValue(control.name)
                        : model.CheckValue(control.name) == again.CheckValue(control.name);
        if (!same) {
            std::abort();
        }
    }
    return 0;
}
