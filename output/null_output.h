// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/loop_player.h"
#include "output/output_backend.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

namespace brev {

// A silent output paced in real time: a thread renders one period every 256 / 44100 s against
// a steady clock. With a capture path it also writes every frame it plays, in order, to a
// 16-bit stereo 44.1 kHz WAV file whose header is completed by finish() or destruction. A write
// that fails ends the capture; failure() and finish() then name the reason.
class NullOutput : public OutputBackend {
public:
    static constexpr unsigned kPeriodFrames = 256;

    NullOutput(LoopPlayer& player, const std::string& capturePath);
    ~NullOutput() override;

    DeviceCaps capabilities() const override;
    unsigned periodFrames() const override { return kPeriodFrames; }
    std::string failure() const override;
    void finish() override;

private:
    void run();
    void stopThread();
    // The reason, or empty when the capture is complete and closed.
    std::string finishCapture();

    LoopPlayer& player_;
    std::string capturePath_;
    std::FILE* capture_ = nullptr;
    std::uint64_t capturedFrames_ = 0;
    std::int16_t period_[2 * kPeriodFrames];
    // errno of the first failed capture write, 0 while none failed; written by the output's
    // thread, read by any (release/acquire, though only the value matters).
    std::atomic<int> captureError_{0};
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

} // namespace brev
