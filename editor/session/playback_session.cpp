// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/session/playback_session.h"

#include "base/error.h"
#include "editor/core/render.h"
#include "editor/session/pattern_slots.h"
#include "output/notify_thread.h"
#include "output/task_queue.h"
#include "output/tds.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace brev {

PlaybackSession::PlaybackSession(TDS& engine, const PatternAccess& pattern, SlotRenderer render)
    : engine_(engine), render_(render ? std::move(render) : [&engine, &pattern](int slot) {
          RenderSegment(pattern, engine.renderTarget(), slot);
      }) {
    engine.SetSlotsSnapshot([&pattern] { return std::make_shared<const PatternSlots>(pattern); });
}

void PlaybackSession::renderAll() {
    renderSlots(std::bitset<kSlotCount>().set());
}

void PlaybackSession::renderSlots(const std::bitset<kSlotCount>& slots) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slots.test(static_cast<std::size_t>(slot)))
            render_(slot);
    }
}

void PlaybackSession::play(std::uint32_t passes) {
    // The player may take the offered loop as it stops: the slots are rendered again for that one.
    do
        renderAll();
    while (!engine_.PlayStoredSlots(passes));
}

void PlaybackSession::slotStarted(int index) {
    if (index < 0 || index >= kSlotCount)
        throw Error("BufferEventHandler() EventIndex out of bounds");
    // A loop made ready at a followed tempo takes over with every slot as the pattern is now.
    if (const std::optional<std::bitset<kSlotCount>> edited = engine_.PrepareFollowedLoop()) {
        try {
            renderSlots(*edited);
        } catch (...) {
            engine_.DropPreparedLoop();
            throw;
        }
        engine_.OfferPreparedLoop(*edited);
    }
    // The player may take the offered loop while the slot is rendered: it is rendered again for
    // that loop. Only this thread offers, so that happens once.
    const int next = (index + 1) % kSlotCount;
    do
        render_(next);
    while (!engine_.WriteSlot(next));
    // A loop offered takes over where this pass ends: slot 0 is heard next from that one.
    if (next == 0)
        engine_.RefillOfferedStart(render_);
}

void PlaybackSession::playToEnd(std::uint32_t passes, const std::function<void(int)>& beforeRefill,
                                const std::function<bool()>& stopRequested) {
    TaskQueue host;
    std::uint32_t count = 0;
    const int* events = engine_.GetEvents(count);
    TNotifyThread thread(
        events, count,
        [&](std::int32_t index) {
            if (beforeRefill)
                beforeRefill(index);
            slotStarted(index);
        },
        host.executor());

    // A render that fails here leaves nothing playing, so the thread ends idle.
    play(passes);
    std::string lost;
    host.serveUntil([&] {
        lost = engine_.OutputFailure();
        return !lost.empty() || !engine_.IsPlaying() || thread.Finished() ||
               (stopRequested && stopRequested());
    });
    // Ended by itself, the device keeps its tail to play out.
    if (engine_.IsPlaying())
        engine_.Stop();
    host.end(thread);
    if (!lost.empty())
        throw Error("The sound output failed during playback.\n" + lost);
    if (!thread.FailureMessage().empty())
        throw Error(thread.FailureMessage());
}

} // namespace brev
