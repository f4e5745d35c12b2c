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

StretchJob::StretchJob(std::shared_ptr<const BrevWave::TWave> loop, const LoopStretch& stretch)
    : stretch_(stretch), source_(std::move(loop)), thread_([this] {
          try {
              result_ = stretchLoop(*source_, stretch_, [this](double) {
                  return !cancel_.load(std::memory_order_relaxed);
              });
          } catch (...) {
              error_ = std::current_exception();
          }
          done_.store(true, std::memory_order_release);
      }) {}

StretchJob::~StretchJob() {
    cancel_.store(true, std::memory_order_relaxed);
    thread_.join();
}

BrevWave::TWave StretchJob::take() {
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

std::optional<int> PitchKeeper::poll(double followedBpm, SteadyTime now, const LoadedLoop& loaded,
                                     BrevWave::TWave& loop) {
    if (std::optional<int> target = want(followedBpm, now)) {
        job_.reset();
        aim_ = *target;
        if (*target == 0) {
            loop = *loaded();
            return 0;
        }
        job_ = std::make_unique<StretchJob>(loaded(), LoopStretch{*target, 0});
    }
    if (!job_ || !job_->ready())
        return std::nullopt;
    const int target = job_->stretch().targetCentiBpm;
    try {
        loop = job_->take();
    } catch (const std::exception&) {
        // A tempo the stretcher cannot reach is followed by rate, as without "Keep pitch".
        job_.reset();
        return std::nullopt;
    }
    job_.reset();
    return target;
}

} // namespace brev
