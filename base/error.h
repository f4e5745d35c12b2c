// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace brev {

// The one exception type of the program: it carries one message text.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A front end that catches a lower error raises its own message with the lower one behind it.
inline Error wrapError(const std::string& message, const std::exception& lower) {
    return Error(message + "\n" + lower.what());
}

} // namespace brev
