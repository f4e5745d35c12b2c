// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/play.h"

#include "base/interrupt_cleanup.h"
#include "editor/session/playback_session.h"
#include "output/tds.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

namespace brev {

namespace {

class EngineHolder : public LoopHolder {
public:
    explicit EngineHolder(TDS& engine) : engine_(engine) {}
    void cut(BrevWave::TWave loop, int swing) override {
        engine_.LoadSourceWave(std::move(loop), swing);
    }
    const SegmentStore& store() const override { return engine_.Store(); }
    const BrevWave::TWave& cutLoop() const override { return engine_.LoadedSource(); }

private:
    TDS& engine_;
};

} // namespace

void playLoop(const std::function<void(LoopDocument&)>& load, unsigned passes, SyncMode sync,
              bool keepPitch) {
    // Stopped by a signal, playback ends as after its last pass, so a capture file is complete;
    // the signal then ends the process, once the engine is gone.
    InterruptDeferral interrupts;
    OutputOptions options = OutputOptions::fromEnvironment();
    options.jackClientName = "brev-render";
    options.sync = sync;
    TDS engine(0, options);
    if (engine.GetSyncMode() != sync)
        throw Error(engine.OutputNotice());
    if (!engine.OutputNotice().empty())
        std::fprintf(stderr, "%s\n", engine.OutputNotice().c_str());
    EngineHolder holder(engine);
    LoopDocument document(holder);
    load(document);
    engine.SetKeepPitch(keepPitch);

    PlaybackSession(engine, document.pattern()).playToEnd(passes, {}, [&] {
        return interrupts.requested();
    });
    // The device still holds the last frames; let them reach the listener.
    std::this_thread::sleep_for(std::chrono::duration<double>(engine.OutputLatency()) +
                                std::chrono::milliseconds(50));
    engine.CloseOutput();
    if (engine.Underflows() > 0 || engine.LateRefills() > 0)
        std::fprintf(stderr, "Playback: %llu underflows, %u late slots\n",
                     static_cast<unsigned long long>(engine.Underflows()), engine.LateRefills());
}

} // namespace brev
