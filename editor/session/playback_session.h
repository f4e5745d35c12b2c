// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/pattern_access.h"

#include <bitset>
#include <cstdint>
#include <functional>

namespace brev {

class TDS;

// The play command and the one-slot-ahead refill, written once for every host: the editor's
// window, brev-render --play and the tests. It runs on the thread that owns the engine and the
// pattern: the GUI thread, or the thread that plays its part.
class PlaybackSession {
public:
    // Renders one slot into the engine's store from the pattern as it is at that moment.
    using SlotRenderer = std::function<void(int slot)>;

    // Slots rendered from pattern, by render when given: the window's also redraws what shows
    // the slot. A loop the engine makes ready on a worker gets its slots there, from the pattern
    // as it is when the worker starts.
    PlaybackSession(TDS& engine, const PatternAccess& pattern, SlotRenderer render = {});

    // Slots 0 to 15 in order, as the play, copy and save commands do.
    void renderAll();
    // The play command: renders every slot and writes them all into the output buffer, then
    // plays from the start, so that the first pass already sounds as edited; passes 0 loops until
    // stopped.
    void play(std::uint32_t passes);
    // Region index's slot-start event: renders and writes the slot after it (slot 0 after 15), so
    // that an edit is heard from the next time its slot plays; first, a loop the engine has made
    // ready at a followed tempo gets the slots edited since it was rendered, to take over at the
    // next bar. Raises for an index outside 0 … 15.
    void slotStarted(int index);

    // For a host without an event loop of its own (brev-render --play, the tests): plays as
    // play() does, with this thread running every hand-over of a notification thread, each after
    // beforeRefill(index) when given. Returns once playback has ended, or stopped as soon as
    // stopRequested() holds; raises when the output or the notification thread failed.
    void playToEnd(std::uint32_t passes, const std::function<void(int)>& beforeRefill = {},
                   const std::function<bool()>& stopRequested = {});

private:
    void renderSlots(const std::bitset<kSlotCount>& slots);

    TDS& engine_;
    SlotRenderer render_;
};

} // namespace brev
