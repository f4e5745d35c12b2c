// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/notify_thread.h"

#include "output/event_set.h"

#include <chrono>
#include <exception>
#include <sys/eventfd.h>
#include <unistd.h>

namespace brev {

namespace {

std::string describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

} // namespace

TNotifyThread::TNotifyThread(const int* handles, std::uint32_t count, NotifyHandler handler,
                             Executor editor, ErrorHandler onError)
    : FHandles(handles), FCount(count), FOnNotify(std::move(handler)), editor_(std::move(editor)),
      onError_(std::move(onError)), wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      thread_([this] { Execute(); }) {}

TNotifyThread::~TNotifyThread() {
    Terminate();
    WaitFor();
    if (wake_ >= 0)
        close(wake_);
}

void TNotifyThread::Terminate() {
    terminated_.store(true, std::memory_order_relaxed);
    // Never reset: every later wait returns at once until the loop sees the request.
    if (wake_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
    }
}

void TNotifyThread::WaitFor() {
    std::call_once(joined_, [this] { thread_.join(); });
}

std::string TNotifyThread::FailureMessage() const {
    return Finished() ? failure_ : std::string();
}

void TNotifyThread::DoNotify() {
    if (FOnNotify)
        FOnNotify(static_cast<std::int32_t>(FIndex));
}

void TNotifyThread::Execute() {
    while (!Terminated()) {
        int result = waitForAny(FHandles, FCount, kWaitMs, wake_, nextIndex_);
        if (result == kWaitFailed) {
            // Not reported; the short pause keeps a wait that keeps failing from eating a core.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (result == kWaitTimeout)
            continue;
        FIndex = static_cast<std::uint32_t>(result);
        nextIndex_ = FIndex + 1;
        std::exception_ptr error;
        try {
            // The executor's own synchronisation orders FIndex before DoNotify on the GUI
            // thread and the handler's effects before our return.
            editor_([&] {
                try {
                    DoNotify();
                } catch (...) {
                    error = std::current_exception();
                    if (onError_)
                        onError_(describe(error));
                }
            });
        } catch (...) {
            error = std::current_exception();
        }
        if (error) {
            failure_ = describe(error);
            break;
        }
    }
    finished_.store(true, std::memory_order_release);
}

} // namespace brev
