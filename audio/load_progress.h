// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/error.h"

#include <functional>

namespace brev {

// Told how far a load has come, 0 … 1; returning false cancels it.
using DecodeProgress = std::function<bool(double done)>;

// The user cancelled a load; nothing was changed.
class DecodeCancelled : public Error {
public:
    DecodeCancelled() : Error("Loading cancelled") {}
};

} // namespace brev
