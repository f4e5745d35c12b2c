// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "allocation_counter.h"

#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define BREV_NO_NEW_REPLACEMENT
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define BREV_NO_NEW_REPLACEMENT
#endif

namespace {
thread_local bool counting = false;
thread_local int allocations = 0;
} // namespace

// ThreadSanitizer's runtime owns operator new; there the counter stays unavailable.
#ifndef BREV_NO_NEW_REPLACEMENT

void* operator new(std::size_t size) {
    if (counting)
        ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
#endif

namespace brev::test {

AllocationCounter::AllocationCounter() {
    allocations = 0;
    counting = true;
}
AllocationCounter::~AllocationCounter() {
    counting = false;
}
int AllocationCounter::count() const {
    return allocations;
}

bool AllocationCounter::available() {
#ifdef BREV_NO_NEW_REPLACEMENT
    return false;
#else
    return true;
#endif
}

} // namespace brev::test
