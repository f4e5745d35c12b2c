// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brev {

// The hidden name under which a save writes its file before renaming it over base: "." base
// ".tmp-brev-" pid "-" serial, with base shortened so the whole stays within nameLimit bytes.
std::string temporaryName(std::string_view base, long pid, unsigned serial, std::size_t nameLimit);

// Removes from the open folder the temporaries of saves whose process is
// gone, as one killed outright leaves them: only this user's own regular files named as
// temporaryName names them.
void removeStaleTemporaries(int folder);

} // namespace brev
