// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brev {

// The player's status as its window reads it from the instance the host lets it reach (the
// framework's plugin): what went wrong with a file or the bars, or empty. Any thread but the
// audio thread.
std::string playerStatus(const void* instance);

} // namespace brev
