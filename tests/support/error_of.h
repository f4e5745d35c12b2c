// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace brev::test {

// The message of the brev::Error that action raises; empty when it raises none.
std::string errorOf(const std::function<void()>& action);

} // namespace brev::test
