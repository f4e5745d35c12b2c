// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brev {

// Where a save to path lands: the absolute path with every link followed, as realpath gives
// it, but following a link only where the system's protected_symlinks rule would: outside a
// sticky folder that everyone may write, or when the link belongs to this user or to the
// folder's owner. Each link of a chain, and each one on the way to a folder, is held to that
// rule. A last name that does not exist yet is kept as the new file's. Returns 0, the errno of
// the failure (ELOOP after 40 links) or kUnsafeLink.
int resolveSaveTarget(const std::string& path, std::string& resolved);

} // namespace brev
