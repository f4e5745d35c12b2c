// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/core/loop_document.h"
#include "editor/core/loop_holder.h"

namespace brev {

// A document with a store of its own, rendered whole: the loop as its pattern re-arranges it at
// its target tempo and pitch, as Save wave and brev-render write it and the plugin plays it bar
// after bar. Owned by one thread, whichever.
class BarRenderer {
public:
    BarRenderer() = default;
    BarRenderer(const BarRenderer&) = delete;
    BarRenderer& operator=(const BarRenderer&) = delete;

    LoopDocument& document() { return document_; }
    // Every slot rendered from the document's pattern, into store().
    void renderSlots();
    const SegmentStore& store() const { return holder_.store(); }
    // The rendered slots joined and fitted to the stretched loop's length.
    const BrevWave::TWave& bar() const { return holder_.store().joinSlots(); }

private:
    StoreHolder holder_;
    LoopDocument document_{holder_};
};

} // namespace brev
