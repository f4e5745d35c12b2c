// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/loop_player.h"
#include "output/output_backend.h"
#include "output/portaudio_library.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <portaudio.h>
#include <string>
#include <vector>

namespace brev {

// Keeps PortAudio initialised for its lifetime (PortAudio counts nested sessions). The first one
// loads the library.
class PortAudioSession {
public:
    PortAudioSession();
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    // Only while ok().
    const PortAudioLibrary& library() const { return *library_; }

private:
    const PortAudioLibrary* library_ = nullptr;
    bool ok_ = false;
    std::string error_;
};

// Every output device PortAudio reports, in its order. Needs an open session.
std::vector<TDriverEntry> portAudioDevices();

// The real output: a PortAudio stream of 16-bit stereo at 44100 Hz in periods of kPeriodFrames
// on the chosen device (the default device for an all-zero GUID), started at construction.
// finish() waits until what was played has reached the listener; destruction drops it. Raises
// brev::Error with the reason when the device cannot be found, opened or started.
class PortAudioOutput : public OutputBackend {
public:
    static constexpr unsigned kPeriodFrames = 256;
    // A sound server may take seconds of sound ahead and then ask for nothing while it plays
    // them; only a silence far beyond that, and beyond the latency the stream reports, means
    // the device or the server behind it has gone.
    static constexpr std::chrono::seconds kMinStallLimit{5};
    static constexpr int kStallLatencies = 20;

    PortAudioOutput(LoopPlayer& player, const TDriverEntry& device);
    ~PortAudioOutput() override;

    DeviceCaps capabilities() const override { return caps_; }
    double latencySeconds() const override { return latency_; }
    unsigned periodFrames() const override { return kPeriodFrames; }
    std::uint64_t underflows() const override {
        return underflows_.load(std::memory_order_relaxed);
    }
    std::string failure() const override;
    void finish() override;

private:
    void close() noexcept;
    static int callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags,
                        void* self) noexcept;
    static void streamFinished(void* self) noexcept;

    PortAudioSession session_;
    const PortAudioLibrary* pa_ = nullptr; // set once the session is open
    LoopPlayer& player_;
    PaStream* stream_ = nullptr;
    DeviceCaps caps_;
    double latency_ = 0;
    std::chrono::nanoseconds stallLimit_{kMinStallLimit};
    // audio -> GUI, each a value on its own: relaxed, but for ended_ (see streamFinished).
    std::atomic<std::uint64_t> underflows_{0};
    std::atomic<std::int64_t> lastCallback_{0}; // steady clock, nanoseconds
    std::atomic<std::int64_t> lastSound_{0};    // the last callback that played the loop; 0: none
    std::atomic<std::int64_t> longestWait_{0};  // between two callbacks
    std::atomic<bool> ended_{false};
};

} // namespace brev
