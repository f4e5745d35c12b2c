// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brev {

// The hidden name under which a save writes its file before renaming it over base: "." base
// ".tmp-brev-" origin "-" pid "-" serial, with base shortened so the whole stays within
// nameLimit bytes. The origin tells this host and PID namespace from others that share the
// folder (over NFS, from a container), in which the same pid is another process.
std::string temporaryName(std::string_view base, long pid, unsigned serial, std::size_t nameLimit);

// Removes from the open folder the temporaries of saves whose process is gone, as one killed
// outright leaves them: only this user's own regular files named as temporaryName names them
// with this run's origin. Where the origin cannot be told, or a name has none (as earlier
// versions wrote them), nothing proves the process gone and the file stays.
void removeStaleTemporaries(int folder);

} // namespace brev
