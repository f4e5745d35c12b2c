// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/name_limit.h"

#include <unistd.h>

namespace brev {

namespace {

std::size_t limitOrDefault(long limit) {
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

} // namespace

std::size_t nameLimit(const std::string& folder) {
    return limitOrDefault(::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX));
}

std::size_t nameLimit(int folder) {
    return limitOrDefault(::fpathconf(folder, _PC_NAME_MAX));
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
