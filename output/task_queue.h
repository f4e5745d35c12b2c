// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/notify_thread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

namespace brev {

// A synchronous executor for hosts without a GUI event loop (brev-render, tests): worker threads
// hand calls to the thread that owns the queue and wait until each has run there.
class TaskQueue {
public:
    // Worker side: queues the call, waits until the owner has run it, rethrows what it threw.
    void run(const std::function<void()>& call);
    Executor executor() {
        return [this](const std::function<void()>& call) { run(call); };
    }

    // Owner side: runs every queued call, waiting up to timeout for the first. Returns how many
    // ran.
    int serve(std::chrono::milliseconds timeout);
    // Serves until done() holds, checking it at least every poll.
    void serveUntil(const std::function<bool()>& done,
                    std::chrono::milliseconds poll = std::chrono::milliseconds(5));
    // Ends a thread that hands its calls to this queue: a hand-over may be pending, so the
    // queue is served until the thread has finished, then the thread is joined.
    void end(TNotifyThread& thread);

private:
    struct Task {
        const std::function<void()>* call;
        bool done = false;
        std::exception_ptr error;
    };
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<Task*> tasks_;
};

} // namespace brev
