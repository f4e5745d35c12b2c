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
