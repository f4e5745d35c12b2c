#include "tools/play.h"

#include "audio/error.h"
#include "editor/core/render.h"
#include "output/notify_thread.h"
#include "output/task_queue.h"
#include "output/tds.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

namespace brev {

void playLoop(PatternAccess& pattern, BrevWave::TWave source, unsigned passes) {
    TDS engine(0);
    if (!engine.OutputNotice().empty())
        std::fprintf(stderr, "%s\n", engine.OutputNotice().c_str());
    engine.LoadSourceWave(std::move(source), pattern.NumberValue(kSwingNumber));

    // This thread plays the editor's GUI thread: it runs every handler call.
    TaskQueue gui;
    std::uint32_t count = 0;
    const int* events = engine.GetEvents(count);
    TNotifyThread thread(
        events, count,
        [&](std::int32_t index) {
            if (index < 0 || index > 15)
                throw Error("BufferEventHandler() EventIndex out of bounds");
            int next = (index + 1) % 16;
            RenderSegment(pattern, engine.Store(), next);
            engine.WriteSlot(next);
        },
        gui.executor());

    renderAll(pattern, engine.Store());
    engine.PlayStoredSlots(passes);
    std::string lost;
    gui.serveUntil([&] {
        lost = engine.OutputFailure();
        return !lost.empty() || !engine.IsPlaying() || thread.Finished();
    });

    engine.Stop();
    gui.end(thread);
    if (!lost.empty())
        throw Error("The sound output failed during playback.\n" + lost);
    if (!thread.FailureMessage().empty())
        throw Error(thread.FailureMessage());
    // The device still holds the last frames; let them reach the listener.
    std::this_thread::sleep_for(std::chrono::duration<double>(engine.OutputLatency()) +
                                std::chrono::milliseconds(50));
    engine.CloseOutput();
    if (engine.Underflows() > 0 || engine.LateRefills() > 0)
        std::fprintf(stderr, "Playback: %llu underflows, %u late slots\n",
                     static_cast<unsigned long long>(engine.Underflows()), engine.LateRefills());
}

} // namespace brev
