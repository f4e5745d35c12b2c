// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/pitch_keeper.h"

#include "audio/loop_stretcher.h"

#include <cmath>
#include <utility>

namespace brev {

bool tempoDiffers(double a, double b) {
    return std::fabs(a - b) > SettledTempo::kTolerance * b;
}

std::optional<double> SettledTempo::observe(double bpm, SteadyTime now) {
    if (bpm <= 0) {
        candidate_ = 0;
        return std::nullopt;
    }
    if (candidate_ == 0 || tempoDiffers(bpm, candidate_)) {
        candidate_ = bpm;
        since_ = now;
        return std::nullopt;
    }
    if (now - since_ < std::chrono::duration<double>(60 / candidate_))
        return std::nullopt;
    return candidate_;
}

StretchJob::StretchJob(std::shared_ptr<const BrevWave::TWave> loop, const LoopStretch& stretch,
                       Prepare prepare, bool asLoadedOnFailure)
    : stretch_(stretch), source_(std::move(loop)),
      thread_([this, prepare = std::move(prepare), asLoadedOnFailure] {
          run(prepare, asLoadedOnFailure);
          done_.store(true, std::memory_order_release);
      }) {}

StretchJob::~StretchJob() {
    cancel_.store(true, std::memory_order_relaxed);
    thread_.join();
}

void StretchJob::run(const Prepare& prepare, bool asLoadedOnFailure) {
    std::optional<BrevWave::TWave> stretched;
    try {
        stretched = stretchLoop(*source_, stretch_, [this](double) {
            return !cancel_.load(std::memory_order_relaxed);
        });
    } catch (const std::exception& e) {
        problem_ = e.what();
        if (!asLoadedOnFailure || cancel_.load(std::memory_order_relaxed))
            return;
    }
    try {
        result_ = prepare(stretched ? std::move(*stretched) : BrevWave::TWave(*source_));
    } catch (...) {
        error_ = std::current_exception();
    }
}

PreparedLoop StretchJob::take() {
    if (error_)
        std::rethrow_exception(error_);
    return std::move(result_);
}

void PitchKeeper::reset(double loadedBpm) {
    job_.reset();
    loadedBpm_ = loadedBpm;
    aim_ = 0;
    settled_ = SettledTempo();
}

std::optional<int> PitchKeeper::want(double followedBpm, SteadyTime now) {
    if (!enabled_ || followedBpm < 0) {
        settled_ = SettledTempo();
        return aim_ != 0 ? std::optional<int>(0) : std::nullopt;
    }
    const std::optional<double> settled = settled_.observe(followedBpm, now);
    if (!settled)
        return std::nullopt;
    const double playing = aim_ != 0 ? aim_ / 100.0 : loadedBpm_;
    if (!tempoDiffers(*settled, playing))
        return std::nullopt;
    settledAt_ = settled_.since() + std::chrono::duration_cast<SteadyTime::duration>(
                                        std::chrono::duration<double>(60 / *settled));
    // Back at the loaded loop's own tempo, the loop as loaded plays.
    const int target = static_cast<int>(std::lround(*settled * 100));
    return tempoDiffers(*settled, loadedBpm_) ? target : 0;
}

std::optional<int> PitchKeeper::poll(double followedBpm, SteadyTime now, const StartJob& start,
                                     PreparedLoop& loop) {
    if (std::optional<int> target = want(followedBpm, now)) {
        job_.reset();
        aim_ = *target;
        job_ = start(LoopStretch{*target, 0});
    }
    if (!job_ || !job_->ready())
        return std::nullopt;
    const std::unique_ptr<StretchJob> job = std::move(job_);
    // A tempo the stretcher cannot reach is followed by rate, as without "Keep pitch".
    if (!job->problem().empty())
        return std::nullopt;
    loop = job->take();
    return job->stretch().targetCentiBpm;
}

} // namespace brev
