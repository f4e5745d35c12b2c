// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/pattern_player_layout.h"

#include "plugin/bar_player.h"

namespace brev {

namespace {

constexpr float kMargin = 12;
constexpr float kRowHeight = 24;
constexpr float kRowGap = 2;
constexpr float kLabelWidth = 112;
constexpr float kFirstPatternY = 76;

Box row(float y) {
    return {kMargin, y, kWindowWidth - 2 * kMargin, kRowHeight};
}

} // namespace

Box titleBox() {
    return {kMargin, 8, kWindowWidth - 2 * kMargin, 30};
}

Box loopRow() {
    return row(44);
}

Box patternRow(int pattern) {
    return row(kFirstPatternY + pattern * (kRowHeight + kRowGap));
}

Box numberBox(int pattern) {
    const Box whole = patternRow(pattern);
    return {whole.x, whole.y, kRowHeight, kRowHeight};
}

Box fileBox(const Box& row) {
    return {row.x + kLabelWidth, row.y, row.width - kLabelWidth, row.height};
}

Box keepPitchRow() {
    return row(patternRow(kPatternCount).y + 4);
}

Box statusBox() {
    const float y = keepPitchRow().y + kRowHeight + 6;
    return {kMargin, y, kWindowWidth - 2 * kMargin, kWindowHeight - kMargin / 2 - y};
}

Target targetAt(double x, double y) {
    if (loopRow().contains(x, y))
        return {Part::LoopFile};
    for (int pattern = 0; pattern < kPatternCount; ++pattern) {
        if (numberBox(pattern).contains(x, y))
            return {Part::PatternNumber, pattern};
        if (patternRow(pattern).contains(x, y))
            return {Part::PatternFile, pattern};
    }
    if (keepPitchRow().contains(x, y))
        return {Part::KeepPitch};
    return {};
}

} // namespace brev
