// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brev {

// The longest file name, in bytes, that folder's file system takes (empty: the working folder;
// missing: the nearest folder above it); 255 where the system does not say.
std::size_t nameLimit(const std::string& folder);
// The same for an open folder.
std::size_t nameLimit(int folder);

// The longest start of name within maxBytes that does not cut a UTF-8 character in two.
std::string_view fittedName(std::string_view name, std::size_t maxBytes);

} // namespace brev
