// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brev {

// The numbers every layer shares. A loop is cut into 16 slots: its segments, the pattern's
// columns, the output buffer's regions and their slot-start events.
inline constexpr int kSlotCount = 16;
// One frame: a left and a right 16-bit sample.
inline constexpr int kFrameBytes = 4;

} // namespace brev
