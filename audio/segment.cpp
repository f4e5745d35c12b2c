// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Cutting a wave into swung segments or equal parts.
#include "audio/twave.h"

#include <cstring>
#include <utility>

namespace BrevWave {

using brev::Error;

void TWave::adoptFresh(TWave& output, TWave&& fresh) noexcept {
    // Like assigning a fresh wave: the swing fields become 0, the divisions stay.
    output.FPcmData = std::move(fresh.FPcmData);
    output.FLength = std::exchange(fresh.FLength, 0);
    output.FSwing = 0;
    output.FEvenUnitSize = 0;
    output.FOddUnitSize = 0;
}

void TWave::SetSwing(int percentage, int count) {
    if (percentage < 0 || percentage > 100 || count < 1)
        throw Error("TWave::SetSwing() - bad input");
    FSwing = percentage;
    const std::int32_t unit = GetSamples() / count;
    if (unit == 0)
        throw Error("TWave::SetSwing() - UnitSize 0");
    const auto offset = static_cast<std::int32_t>(std::int64_t{unit} * percentage / 200);
    std::vector<std::int32_t> divisions;
    divisions.reserve(static_cast<std::size_t>(count));
    const std::int32_t even = unit + offset;
    const std::int32_t odd = unit - offset;
    std::int32_t position = 0;
    divisions.push_back(0);
    for (int i = 1; i < count; ++i) {
        position += (i % 2 == 1) ? even : odd;
        divisions.push_back(position);
    }
    FEvenUnitSize = even;
    FOddUnitSize = odd;
    FDivisions = std::move(divisions);
}

void TWave::GetSegmentSwing(TWave& output, int index) const {
    if (FDivisions.empty())
        throw Error("GetSegmentSwing() called with 0 size divisions array");
    const int entries = static_cast<int>(FDivisions.size());
    if (index < 0 || index >= entries)
        throw Error("TWave::GetSegmentSwing() - Offset out of bounds");
    const auto at = static_cast<std::size_t>(index);
    const std::int32_t start = FDivisions[at];
    const std::int32_t end = index == entries - 1 ? GetSamples() : FDivisions[at + 1];
    // Divisions from before the buffer was shortened may lie beyond its end.
    if (start < 0 || end < start || end > GetSamples())
        throw Error("TWave::GetSegmentSwing() - Offset out of bounds");
    TWave fresh;
    if (end > start) {
        try {
            fresh = TWave(FPcmData.get() + std::int64_t{start} * kFrameBytes,
                          (end - start) * kFrameBytes);
        } catch (const Error&) {
            throw Error("GetSegmentSwing - Error allocating memory");
        }
    }
    adoptFresh(output, std::move(fresh));
}

void TWave::GetSegment(TWave& output, int first, int count, int whole) const {
    if (count <= 0)
        throw Error("GetSegment - Illegal Length");
    if (first < 0 || first >= whole)
        throw Error("GetSegment - Offset out of bounds");
    if (std::int64_t{first} + count > whole)
        throw Error("GetSegment - Too greedy");
    std::int32_t partBytes = FLength / whole;
    partBytes -= partBytes % kFrameBytes;
    const std::int64_t bytes = std::int64_t{partBytes} * count;
    if (bytes == 0)
        throw Error("GetSegment - SegmentSize 0");
    TWave fresh;
    try {
        fresh = TWave(FPcmData.get() + std::int64_t{first} * partBytes,
                      static_cast<std::int32_t>(bytes));
    } catch (const Error&) {
        throw Error("GetSegment - Error allocating memory");
    }
    adoptFresh(output, std::move(fresh));
}

} // namespace BrevWave
