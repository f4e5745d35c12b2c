// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "output/event_set.h"
#include "output/notify_thread.h"
#include "output/task_queue.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace brev {
namespace {

using namespace std::chrono_literals;

// The test's main thread plays the GUI thread: it serves the queue.
struct Gui {
    TaskQueue queue;
    std::vector<int> calls;
    std::thread::id id = std::this_thread::get_id();
    bool wrongThread = false;
    std::mutex mutex;
    std::condition_variable handedOver;
    int handOvers = 0;

    // The queue's executor, counting the hand-overs the notification thread has begun.
    Executor executor() {
        return [this](const std::function<void()>& call) {
            {
                std::lock_guard lock(mutex);
                ++handOvers;
            }
            handedOver.notify_all();
            queue.run(call);
        };
    }
    // Until the notification thread waits for the GUI with its count-th hand-over.
    void awaitHandOver(int count) {
        std::unique_lock lock(mutex);
        handedOver.wait(lock, [&] { return handOvers >= count; });
    }

    TNotifyThread::NotifyHandler handler() {
        return [this](int index) {
            wrongThread |= std::this_thread::get_id() != id;
            calls.push_back(index);
        };
    }
    void serveUntilCalls(size_t count) {
        auto deadline = std::chrono::steady_clock::now() + 5s;
        queue.serveUntil(
            [&] { return calls.size() >= count || std::chrono::steady_clock::now() > deadline; });
    }
    void end(TNotifyThread& thread) { queue.end(thread); }
};

TEST(NotifyThread, HandsOverInWaitOrderWhileTheGuiIsBusy) {
    EventSet events;
    Gui gui;
    TNotifyThread thread(events.handles(), EventSet::kCount, gui.handler(), gui.executor());

    // Event 2 is handed over but the GUI does not serve yet; 3 and 4 fire meanwhile.
    events.signal(2);
    gui.awaitHandOver(1);
    events.signal(4);
    events.signal(3);
    gui.serveUntilCalls(3);
    EXPECT_EQ(gui.calls, (std::vector<int>{2, 3, 4}));

    // 14 waits for the GUI; 0 and 15 fire meanwhile: 15 goes first, as they play.
    events.signal(14);
    gui.awaitHandOver(4);
    events.signal(0);
    events.signal(15);
    gui.serveUntilCalls(6);
    EXPECT_EQ(gui.calls, (std::vector<int>{2, 3, 4, 14, 15, 0}));

    // Signals merge while one is pending: at most one hand-over per event.
    events.signal(7);
    gui.awaitHandOver(7);
    events.signal(8);
    events.signal(8);
    gui.serveUntilCalls(8);
    gui.queue.serve(100ms);
    EXPECT_EQ(gui.calls, (std::vector<int>{2, 3, 4, 14, 15, 0, 7, 8}));
    EXPECT_FALSE(gui.wrongThread);

    gui.end(thread);
    EXPECT_EQ(thread.FailureMessage(), "");
}

TEST(NotifyThread, EndsWithinAboutOneWaitWhenNothingFires) {
    EventSet events;
    Gui gui;
    TNotifyThread thread(events.handles(), EventSet::kCount, gui.handler(), gui.queue.executor());
    std::this_thread::sleep_for(600ms); // at least one full time-out passes quietly
    EXPECT_TRUE(gui.calls.empty());
    EXPECT_FALSE(thread.Finished());

    auto start = std::chrono::steady_clock::now();
    gui.end(thread);
    auto took = std::chrono::steady_clock::now() - start;
    // Loose bound: the loop checks the request at least every 500 ms.
    EXPECT_LT(took, 1500ms);
}

TEST(NotifyThread, TerminateWakesTheWaitAndHandsNothingOver) {
    EventSet events;
    Gui gui;
    TNotifyThread thread(events.handles(), EventSet::kCount, gui.handler(), gui.queue.executor());
    // One hand-over served: the thread is past it, on its way back into the wait.
    events.signal(1);
    gui.serveUntilCalls(1);
    auto start = std::chrono::steady_clock::now();
    gui.end(thread);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(TNotifyThread::kWaitMs))
        << "ended by the wake, not by the time-out";
    EXPECT_EQ(gui.calls, std::vector<int>{1});
    // The engine's events are left as they were: nothing was written to them to wake the wait.
    EXPECT_EQ(waitForAny(events.handles(), EventSet::kCount, 0), kWaitTimeout);
}

TEST(NotifyThread, AHandlerErrorEndsTheThreadAndIsReportedOnTheGuiThread) {
    EventSet events;
    Gui gui;
    std::string reported;
    bool reportedOnGui = false;
    TNotifyThread thread(
        events.handles(), EventSet::kCount,
        [&](int index) {
            gui.calls.push_back(index);
            if (index == 5)
                throw Error("Failed to lock secondary buffer");
        },
        gui.queue.executor(),
        [&](const std::string& message) {
            reported = message;
            reportedOnGui = std::this_thread::get_id() == gui.id;
        });
    events.signal(4);
    events.signal(5);
    events.signal(6);
    gui.queue.serveUntil([&] { return thread.Finished(); });
    events.signal(7);
    gui.queue.serve(100ms);
    EXPECT_EQ(gui.calls, (std::vector<int>{4, 5})) << "the failing call is the last one";
    EXPECT_EQ(thread.FailureMessage(), "Failed to lock secondary buffer");
    EXPECT_EQ(reported, "Failed to lock secondary buffer");
    EXPECT_TRUE(reportedOnGui);
    thread.WaitFor();
}

TEST(NotifyThread, EmptyHandlerAndUnarmedEventsAreHarmless) {
    int unarmed[16];
    std::fill(std::begin(unarmed), std::end(unarmed), -1);
    Gui gui;
    {
        TNotifyThread thread(unarmed, 16, {}, gui.queue.executor());
        gui.end(thread);
    }
    EventSet events;
    TNotifyThread thread(events.handles(), EventSet::kCount, {}, gui.queue.executor());
    events.signal(1);
    gui.queue.serve(1s);
    gui.end(thread);
    EXPECT_EQ(thread.FailureMessage(), "");
}

} // namespace
} // namespace brev
