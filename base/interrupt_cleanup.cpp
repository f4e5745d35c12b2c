// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/interrupt_cleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace brev {

namespace {

// A slot's life: free -> filling (its owner writes the file) -> recorded -> free again, or
// recorded -> removing when the handler takes it; a removing slot is never handed out again,
// as the process is ending.
enum SlotState : int { kFree, kFilling, kRecorded, kRemoving };

struct Slot {
    std::atomic<int> state{kFree};
    // The file's name in that folder, removed by unlinkat: a name looked up again from the
    // root could by then lead into another folder.
    int folder = AT_FDCWD;
    char name[PATH_MAX];
};

// The handler may run on any thread, between any two instructions of the owner: only atomics
// and the file of a slot it won by compare-exchange are touched there.
Slot slots[8];
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void onInterrupt(int signal) {
    for (Slot& slot : slots) {
        int recorded = kRecorded;
        // Acquire: pairs with the release that published the file.
        if (slot.state.compare_exchange_strong(recorded, kRemoving, std::memory_order_acquire))
            ::unlinkat(slot.folder, slot.name, 0);
    }
    // SA_RESETHAND has put back the default action: the signal, delivered once the handler
    // returns, ends the process with the status the caller expects.
    ::raise(signal);
}

// The write that passed the limit returns EFBIG once this returns.
void onFileSizeLimit(int) {}

// The first ending signal that arrived while an InterruptDeferral lives, 0 while none did.
std::atomic<int> deferredSignal{0};
struct sigaction previousActions[std::size(kEndingSignals)];

void onDeferredInterrupt(int signal) {
    int none = 0;
    deferredSignal.compare_exchange_strong(none, signal, std::memory_order_relaxed);
}

// Installs handler for signal unless the process ignores it; flags as sigaction takes them.
void handle(int signal, void (*handler)(int), int flags, struct sigaction* previous = nullptr) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int ending : kEndingSignals)
        sigaddset(&action.sa_mask, ending);
    action.sa_flags = flags;
    ::sigaction(signal, &action, previous);
}

} // namespace

void removeRecordedFilesOnInterrupt() {
    for (int signal : kEndingSignals)
        handle(signal, onInterrupt, static_cast<int>(SA_RESETHAND));
    handle(SIGXFSZ, onFileSizeLimit, SA_RESTART);
}

InterruptDeferral::InterruptDeferral() {
    deferredSignal.store(0, std::memory_order_relaxed);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        previousActions[i].sa_handler = SIG_IGN;
        handle(kEndingSignals[i], onDeferredInterrupt, SA_RESTART, &previousActions[i]);
    }
}

InterruptDeferral::~InterruptDeferral() {
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        if (previousActions[i].sa_handler != SIG_IGN)
            ::sigaction(kEndingSignals[i], &previousActions[i], nullptr);
    }
    if (const int signal = deferredSignal.load(std::memory_order_relaxed))
        ::raise(signal);
}

bool InterruptDeferral::requested() const {
    return deferredSignal.load(std::memory_order_relaxed) != 0;
}

void InterruptRemoval::record(int folder, const std::string& name) {
    release();
    if (name.size() >= PATH_MAX)
        return;
    for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) {
        int free = kFree;
        // Acquire: pairs with the release of the slot's previous owner, who wrote its file.
        if (!slots[i].state.compare_exchange_strong(free, kFilling, std::memory_order_acquire))
            continue;
        slots[i].folder = folder;
        std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
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
    // Release: the next owner may write the file only after this owner is done with it.
    slots[slot_].state.compare_exchange_strong(recorded, kFree, std::memory_order_release,
                                               std::memory_order_relaxed);
    slot_ = -1;
}

} // namespace brev
