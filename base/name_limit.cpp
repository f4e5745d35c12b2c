// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/name_limit.h"

#include <unistd.h>

namespace brev {

std::size_t nameLimit(const std::string& folder) {
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

std::string_view fittedName(std::string_view name, std::size_t maxBytes) {
    if (name.size() <= maxBytes)
        return name;
    std::size_t end = maxBytes;
    // Continuation bytes are 10xxxxxx: back up to the first byte of the character cut.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

} // namespace brev
