#include "audio/interrupt_cleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace brev {

namespace {

// A slot's life: free -> filling (its owner writes the path) -> recorded -> free again, or
// recorded -> removing when the handler takes it; a removing slot is never handed out again,
// as the process is ending.
enum SlotState : int { kFree, kFilling, kRecorded, kRemoving };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

// The handler may run on any thread, between any two instructions of the owner: only atomics
// and the path of a slot it won by compare-exchange are touched there.
Slot slots[8];
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

void onInterrupt(int signal) {
    for (Slot& slot : slots) {
        int recorded = kRecorded;
        // Acquire: pairs with the release that published the path.
        if (slot.state.compare_exchange_strong(recorded, kRemoving, std::memory_order_acquire))
            ::unlink(slot.path);
    }
    // SA_RESETHAND has put back the default action: the signal, delivered once the handler
    // returns, ends the process with the status the caller expects.
    ::raise(signal);
}

} // namespace

void removeRecordedFilesOnInterrupt() {
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        sigaddset(&action.sa_mask, SIGINT);
        sigaddset(&action.sa_mask, SIGTERM);
        action.sa_flags = static_cast<int>(SA_RESETHAND);
        ::sigaction(signal, &action, nullptr);
    }
}

void InterruptRemoval::record(const std::string& path) {
    release();
    if (path.size() >= PATH_MAX)
        return;
    for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) {
        int free = kFree;
        // Acquire: pairs with the release of the slot's previous owner, who wrote its path.
        if (!slots[i].state.compare_exchange_strong(free, kFilling, std::memory_order_acquire))
            continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(kRecorded, std::memory_order_release);
        slot_ = i;
        return;
    }
}

void InterruptRemoval::release() {
    if (slot_ < 0)
        return;
    int recorded = kRecorded;
    // Fails only when the handler has taken the slot; it then stays out of use for good.
    // Release: the next owner may write the path only after this owner is done with it.
    slots[slot_].state.compare_exchange_strong(recorded, kFree, std::memory_order_release,
                                               std::memory_order_relaxed);
    slot_ = -1;
}

} // namespace brev
