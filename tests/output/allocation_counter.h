// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brev::test {

// Counts operator new calls made by the current thread while an AllocationCounter lives.
class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    int count() const;
    // False in builds whose runtime replaces operator new itself (ThreadSanitizer).
    static bool available();
};

} // namespace brev::test
