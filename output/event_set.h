// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loop_layout.h"

#include <array>
#include <cstdint>

namespace brev {

// Result of waitForAny when nothing was signalled in time, or when the wait itself failed.
constexpr int kWaitTimeout = -1;
constexpr int kWaitFailed = -2;

// The 16 slot-start events: eventfds, auto-reset by the read that reports them.
// A signal that arrives while its event is still signalled merges with it.
class EventSet {
public:
    static constexpr unsigned kCount = kSlotCount;

    EventSet();
    ~EventSet();
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    // Safe from the audio thread: one non-blocking write, no allocation.
    void signal(unsigned index) const noexcept;

    const int* handles() const noexcept { return fds_.data(); }

private:
    std::array<int, kCount> fds_;
};

// Waits until one of the handles is signalled, at most timeoutMs milliseconds, and returns the
// first signalled index from first on, round past the last to 0 (the playing order), after
// resetting that one event; the others stay signalled. Negative handles are never signalled.
// A signalled wakeHandle ends the wait as a time-out does and is not reset.
int waitForAny(const int* handles, unsigned count, int timeoutMs, int wakeHandle = -1,
               unsigned first = 0) noexcept;

} // namespace brev
