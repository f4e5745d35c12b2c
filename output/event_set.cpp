// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/event_set.h"

#include "base/error.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>

namespace brev {

EventSet::EventSet() {
    fds_.fill(-1);
    for (unsigned i = 0; i < kCount; ++i) {
        fds_[i] = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (fds_[i] < 0) {
            std::string reason = std::strerror(errno);
            for (int fd : fds_)
                if (fd >= 0)
                    close(fd);
            throw Error("CreateEvent() failed\n" + reason);
        }
    }
}

EventSet::~EventSet() {
    for (int fd : fds_)
        close(fd);
}

void EventSet::signal(unsigned index) const noexcept {
    if (index >= kCount)
        return;
    const std::uint64_t one = 1;
    // Non-blocking: a full counter (never reached in practice) just drops the signal.
    [[maybe_unused]] ssize_t written = write(fds_[index], &one, sizeof one);
}

int waitForAny(const int* handles, unsigned count, int timeoutMs, int wakeHandle,
               unsigned first) noexcept {
    if (count == 0 || count > EventSet::kCount)
        return kWaitFailed;
    pollfd polls[EventSet::kCount + 1];
    for (unsigned i = 0; i < count; ++i)
        polls[i] = pollfd{handles[i], POLLIN, 0};
    // poll() skips a negative descriptor, so without a wake handle this slot never fires.
    polls[count] = pollfd{wakeHandle, POLLIN, 0};
    int ready = poll(polls, count + 1, timeoutMs);
    if (ready < 0)
        return kWaitFailed;
    if (ready == 0)
        return kWaitTimeout;
    for (unsigned n = 0; n < count; ++n) {
        const unsigned i = (first + n) % count;
        if (polls[i].revents & (POLLERR | POLLNVAL))
            return kWaitFailed;
        std::uint64_t value;
        // The read is the reset; only the reported event is reset.
        if ((polls[i].revents & POLLIN) && read(handles[i], &value, sizeof value) == sizeof value)
            return static_cast<int>(i);
    }
    if (polls[count].revents & POLLIN)
        return kWaitTimeout;
    return kWaitFailed;
}

} // namespace brev
