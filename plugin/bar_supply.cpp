// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plugin/bar_supply.h"

#include <cstdio>
#include <exception>

namespace brev {

namespace {

// How often the worker looks at the tempo the audio thread wants: it cannot be woken from there.
constexpr std::chrono::milliseconds kTempoLook{5};

} // namespace

BarSupply::BarSupply() : worker_([this] { work(); }) {}

BarSupply::~BarSupply() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
    delete ready_.load();
    delete retired_.load();
    delete playing_;
}

void BarSupply::setRecipe(BarRecipe recipe) {
    {
        std::lock_guard lock(mutex_);
        recipe.generation = generation_.load() + 1;
        recipe_ = std::move(recipe);
        generation_.store(recipe_.generation);
    }
    wake_.notify_one();
}

std::string BarSupply::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

const PreparedBars* BarSupply::atBarStart() {
    // The bars replaced wait for the worker to free them; until it has, nothing is taken.
    if (retired_.load(std::memory_order_acquire) != nullptr)
        return playing_;
    if (PreparedBars* fresh = ready_.exchange(nullptr, std::memory_order_acq_rel)) {
        retired_.store(playing_, std::memory_order_release);
        playing_ = fresh;
    }
    return playing_;
}

bool BarSupply::made() const {
    return madeGeneration_.load() == generation_.load() &&
           madeBpm_.load() == wantedBpm_.load(std::memory_order_relaxed);
}

void BarSupply::waitUntilMade(std::chrono::milliseconds limit) const {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!made() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void BarSupply::work() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        delete retired_.exchange(nullptr, std::memory_order_acq_rel);
        if (made()) {
            wake_.wait_for(lock, kTempoLook);
            continue;
        }
        BarRecipe recipe = recipe_;
        recipe.stretchToBpm = wantedBpm_.load(std::memory_order_relaxed);
        lock.unlock();
        std::unique_ptr<PreparedBars> bars;
        std::string problem;
        try {
            if (recipe.loop)
                bars = makeBars(recipe);
        } catch (const std::exception& error) {
            problem = error.what();
        }
        if (bars)
            problem = bars->problem;
        if (!problem.empty())
            std::fprintf(stderr, "BREV Pattern Player: %s\n", problem.c_str());
        lock.lock();
        problem_ = problem;
        if (bars)
            delete ready_.exchange(bars.release(), std::memory_order_acq_rel);
        madeGeneration_.store(recipe.generation);
        madeBpm_.store(recipe.stretchToBpm);
    }
}

} // namespace brev
