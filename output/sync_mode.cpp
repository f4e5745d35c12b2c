// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/sync_mode.h"

namespace brev {

namespace {

constexpr const char* kNames[] = {"off", "jack", "midi"};

} // namespace

const char* syncModeName(SyncMode mode) {
    return kNames[static_cast<int>(mode)];
}

std::optional<SyncMode> parseSyncMode(std::string_view name) {
    for (int i = 0; i < 3; ++i)
        if (name == kNames[i])
            return static_cast<SyncMode>(i);
    return std::nullopt;
}

} // namespace brev
