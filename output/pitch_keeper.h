// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loop_tempo.h"
#include "audio/twave.h"
#include "output/prepared_loop.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace brev {

using SteadyTime = std::chrono::steady_clock::time_point;

// A followed tempo counts as settled once it has stayed within 0.1 % of one value for a beat of
// that tempo: a master that ramps, or MIDI clock still averaging in a change (over a beat), starts
// no stretch that is stale at once, and a change made in a bar is mostly heard stretched from the
// next one.
class SettledTempo {
public:
    static constexpr double kTolerance = 0.001;

    // The tempo seen at now (0: none followed); the settled tempo once there is one.
    std::optional<double> observe(double bpm, SteadyTime now);
    // Steady time at which the tempo observe() returns began to hold.
    SteadyTime since() const { return since_; }

private:
    double candidate_ = 0;
    SteadyTime since_{};
};

// True when a and b differ by more than the tolerance, relative to b.
bool tempoDiffers(double a, double b);

// Stretches a loop to a tempo (and pitch) and makes it ready to take over, on a thread of its own,
// so that neither the audio thread nor the owner thread waits for it. Destruction cancels a
// stretch under way and joins; a preparation under way is finished first.
class StretchJob {
public:
    // Makes the stretched loop ready to take over, on the job's thread.
    using Prepare = std::function<PreparedLoop(BrevWave::TWave loop)>;

    // A stretch that cannot be made has the loop as it was before made ready instead when
    // asLoadedOnFailure, nothing otherwise.
    StretchJob(std::shared_ptr<const BrevWave::TWave> loop, const LoopStretch& stretch,
               Prepare prepare, bool asLoadedOnFailure);
    ~StretchJob();
    StretchJob(const StretchJob&) = delete;
    StretchJob& operator=(const StretchJob&) = delete;

    const LoopStretch& stretch() const { return stretch_; }
    // The loop as it was before the stretch.
    const std::shared_ptr<const BrevWave::TWave>& source() const { return source_; }
    bool ready() const { return done_.load(std::memory_order_acquire); }
    // Once ready(): why the stretch could not be made; empty when it was.
    const std::string& problem() const { return problem_; }
    // Once ready(): the loop made ready (no store when none was), or what preparing it raised.
    PreparedLoop take();

private:
    void run(const Prepare& prepare, bool asLoadedOnFailure);

    LoopStretch stretch_;
    std::shared_ptr<const BrevWave::TWave> source_;
    // Owner -> worker: a flag on its own, polled between the stretcher's blocks (relaxed).
    std::atomic<bool> cancel_{false};
    // worker -> owner: stored with release after problem_, result_ and error_ are written,
    // loaded with acquire before any of them is read.
    std::atomic<bool> done_{false};
    std::string problem_;
    PreparedLoop result_;
    std::exception_ptr error_;
    std::thread thread_; // last: everything above is set before it runs
};

// "Keep pitch" while following an outside clock: decides which loop the engine should play,
// the loop as loaded or the loop stretched to the settled followed tempo, and has it stretched.
// Owner thread only (the GUI thread, or the thread that plays in brev-render).
class PitchKeeper {
public:
    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }
    // A loop was loaded (its own tempo, as the tempo table gives it): any stretch is stale.
    void reset(double loadedBpm);

    // The followed tempo at now (0: no outside clock sets it; < 0: no sync, the loop as loaded).
    // Returns the tempo in hundredths of a BPM the engine should switch to, once its loop is ready
    // (0: the loop as loaded), and fills loop with it; nothing while there is none. start starts
    // the job that makes the loop as loaded ready at a stretch (a target of 0: as it is).
    using StartJob = std::function<std::unique_ptr<StretchJob>(const LoopStretch& stretch)>;
    std::optional<int> poll(double followedBpm, SteadyTime now, const StartJob& start,
                            PreparedLoop& loop);

    // When the stretch now ready began to be wanted; for the time to the switch.
    SteadyTime settledAt() const { return settledAt_; }

private:
    std::optional<int> want(double followedBpm, SteadyTime now);

    bool enabled_ = true;
    double loadedBpm_ = 0;
    int aim_ = 0; // the tempo (centi-BPM; 0: as loaded) playing, being stretched or offered
    SettledTempo settled_;
    SteadyTime settledAt_{};
    std::unique_ptr<StretchJob> job_;
};

} // namespace brev
