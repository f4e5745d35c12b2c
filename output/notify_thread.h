// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace brev {

// Runs a call on the GUI thread and returns once it has run there.
using Executor = std::function<void(const std::function<void()>& call)>;

// Forwards the engine's slot-start events to the GUI thread, one synchronous hand-over per
// signalled event, in playing order: of the events signalled, the first after the one handed
// over last, so that after a stall slot 15's successor is refilled before slot 0's. The handle
// array is borrowed: it must stay valid and unchanged until the thread has been ended.
//
// Ending: Terminate(), which also wakes the wait, then wait for Finished() while still serving
// the executor (a hand-over may be pending), then destroy. The destructor does Terminate() and
// joins, so it needs the executor served or idle.
class TNotifyThread {
public:
    using NotifyHandler = std::function<void(std::int32_t index)>;
    // Told, on the GUI thread, why a handler error ended the thread.
    using ErrorHandler = std::function<void(const std::string& message)>;

    TNotifyThread(const int* handles, std::uint32_t count, NotifyHandler handler, Executor editor,
                  ErrorHandler onError = {});
    ~TNotifyThread();
    TNotifyThread(const TNotifyThread&) = delete;
    TNotifyThread& operator=(const TNotifyThread&) = delete;

    void Terminate();
    bool Terminated() const { return terminated_.load(std::memory_order_relaxed); }
    // True once the loop has ended, by request or by a handler error.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // Joins the thread; returns at once when it has already been joined.
    void WaitFor();
    // The handler error that ended the thread; empty otherwise. Valid once Finished().
    std::string FailureMessage() const;

    static constexpr int kWaitMs = 500;

private:
    void Execute();
    void DoNotify();

    const int* FHandles;
    std::uint32_t FCount;
    NotifyHandler FOnNotify;
    std::uint32_t FIndex = 0;
    std::uint32_t nextIndex_ = 0; // where the next wait starts looking

    Executor editor_;
    ErrorHandler onError_;
    std::string failure_; // written before finished_ is released
    int wake_;            // eventfd signalled by Terminate(); -1 if none could be made
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::once_flag joined_;
    std::thread thread_; // last: every field above is set before the loop runs
};

} // namespace brev
