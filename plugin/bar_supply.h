// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plugin/bar_maker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace brev {

// The bars the audio thread plays, made on a thread of their own whenever what they are made
// of or the tempo they are wanted at changes, and handed over by exchanging a pointer where a
// bar starts; the bars they replace go back to that thread to be freed.
class BarSupply final : public BarSource {
public:
    BarSupply();
    ~BarSupply();
    BarSupply(const BarSupply&) = delete;
    BarSupply& operator=(const BarSupply&) = delete;

    // Not the audio thread: what the bars are made of from now on (its generation is set here).
    void setRecipe(BarRecipe recipe);
    // What went wrong making the last bars; empty when nothing did. Not the audio thread.
    std::string problem() const;

    // Audio thread: the tempo the bars are wanted at (0: the loop's own).
    void want(double bpm) { wantedBpm_.store(bpm, std::memory_order_relaxed); }
    const PreparedBars* atBarStart() override;
    // Audio thread, only while the host renders offline: waits until the bars wanted now are
    // made (or could not be), at most limit.
    void waitUntilMade(std::chrono::milliseconds limit) const;

private:
    void work();
    bool made() const;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    BarRecipe recipe_;
    std::string problem_;
    std::atomic<std::uint64_t> generation_{0};
    std::atomic<double> wantedBpm_{0};
    std::atomic<std::uint64_t> madeGeneration_{0};
    std::atomic<double> madeBpm_{0};
    // Made and not yet taken; taken and replaced. Each is emptied by one thread only.
    std::atomic<PreparedBars*> ready_{nullptr};
    std::atomic<PreparedBars*> retired_{nullptr};
    PreparedBars* playing_ = nullptr; // the audio thread's
    std::thread worker_;
};

} // namespace brev
