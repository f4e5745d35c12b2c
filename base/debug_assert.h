// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>

// BREV_ASSERT(condition) states an invariant the code relies on. Debug and sanitizer builds
// check it and abort with its text when it fails; release builds compile the condition but never
// evaluate it, so it costs nothing, also in the audio callback.
#if !defined(NDEBUG) || defined(BREV_CHECK_INVARIANTS)
#define BREV_ASSERT(condition)                                                                     \
    ((condition) ? static_cast<void>(0) : ::brev::invariantFailed(#condition, __FILE__, __LINE__))
#else
#define BREV_ASSERT(condition) static_cast<void>(sizeof(!(condition)))
#endif

namespace brev {

[[noreturn]] inline void invariantFailed(const char* condition, const char* file,
                                         int line) noexcept {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

} // namespace brev
