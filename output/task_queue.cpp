// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/task_queue.h"

namespace brev {

void TaskQueue::run(const std::function<void()>& call) {
    Task task{&call, false, nullptr};
    std::unique_lock lock(mutex_);
    tasks_.push_back(&task);
    queued_.notify_one();
    finished_.wait(lock, [&] { return task.done; });
    if (task.error)
        std::rethrow_exception(task.error);
}

int TaskQueue::serve(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!queued_.wait_for(lock, timeout, [&] { return !tasks_.empty(); }))
        return 0;
    int count = 0;
    while (!tasks_.empty()) {
        Task* task = tasks_.front();
        tasks_.pop_front();
        lock.unlock();
        std::exception_ptr error;
        try {
            (*task->call)();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        task->error = error;
        task->done = true;
        finished_.notify_all();
        ++count;
    }
    return count;
}

void TaskQueue::serveUntil(const std::function<bool()>& done, std::chrono::milliseconds poll) {
    while (!done())
        serve(poll);
}

void TaskQueue::end(TNotifyThread& thread) {
    thread.Terminate();
    serveUntil([&] { return thread.Finished(); });
    thread.WaitFor();
}

} // namespace brev
