// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brev {

// Where the parts of the pattern player's window lie, in pixels at scale 1, and which part a
// point is over: drawing and clicks read the same boxes.
struct Box {
    float x = 0, y = 0, width = 0, height = 0;
    bool contains(double pointX, double pointY) const {
        return pointX >= x && pointX < x + width && pointY >= y && pointY < y + height;
    }
};

enum class Part { None, LoopFile, PatternNumber, PatternFile, KeepPitch };

// A part, and for the pattern rows the pattern 0 … 7.
struct Target {
    Part part = Part::None;
    int pattern = 0;
    bool operator==(const Target&) const = default;
};

constexpr int kWindowWidth = 480;
constexpr int kWindowHeight = 360;

Box titleBox();
// The whole row; its label column and its file column.
Box loopRow();
Box patternRow(int pattern);
Box numberBox(int pattern);
Box fileBox(const Box& row);
Box keepPitchRow();
Box statusBox();

Target targetAt(double x, double y);

} // namespace brev
