// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/name_limit.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace brev {

std::size_t nameLimit(const std::string& folder) {
    std::error_code error;
    std::filesystem::path at = std::filesystem::absolute(folder.empty() ? "." : folder, error);
    for (;;) {
        errno = 0;
        const long limit = ::pathconf(at.c_str(), _PC_NAME_MAX);
        if (limit > 0)
            return static_cast<std::size_t>(limit);
        // A folder still to be made takes the limit of the nearest one above it.
        if (errno != ENOENT || at == at.parent_path())
            return 255;
        at = at.parent_path();
    }
}

std::size_t nameLimit(int folder) {
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
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
