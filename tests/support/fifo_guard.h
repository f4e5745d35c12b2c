// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <fcntl.h>
#include <future>
#include <string>
#include <unistd.h>

namespace brev::test {

// Runs work, which is handed the named pipe at fifo, and tells whether it finished without
// waiting on the pipe. Should it still wait after seconds that no correct run needs, the pipe
// gets a writer that leaves at once, so the stuck read ends and the test fails instead of
// hanging.
template <typename Work> bool finishesWithoutWaitingOn(const std::string& fifo, Work work) {
    auto done = std::async(std::launch::async, std::move(work));
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) {
        done.get();
        return true;
    }
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        ::close(writer);
    done.wait();
    return false;
}

} // namespace brev::test
