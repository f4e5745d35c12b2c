// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/loop_player.h"
#include "output/midi_clock.h"
#include "output/output_backend.h"
#include "output/sync_mode.h"

#include <atomic>
#include <cstdint>
#include <jack/types.h>
#include <memory>
#include <optional>
#include <string>

namespace brev {

struct JackLibrary;

// The host API of the device-list entry that plays through a JACK server.
inline constexpr const char* kJackHostApi = "JACK";

// The entry of the running JACK server (JACK_DEFAULT_SERVER, or the default one); none when no
// server answers or JACK is not installed. Asks by opening and closing a client.
std::optional<TDriverEntry> jackDevice();

// Plays through a JACK server as client clientName: the audio ports out_left and out_right,
// connected to the system's playback ports, and the MIDI ports clock_in and clock_out. At a
// server rate other than 44100 Hz the loop is stepped through at 44100 / rate per frame. With
// sync on it follows the JACK transport or the MIDI clock on clock_in; whenever it plays on its
// own clock it sends MIDI clock, Start and Stop on clock_out. Raises brev::Error when no server
// answers or the ports cannot be made.
class JackOutput : public OutputBackend {
public:
    JackOutput(LoopPlayer& player, const std::string& clientName, SyncMode sync);
    ~JackOutput() override;

    DeviceCaps capabilities() const override;
    double latencySeconds() const override { return latency_; }
    unsigned periodFrames() const override;
    std::uint64_t underflows() const override { return xruns_.load(std::memory_order_relaxed); }
    std::string failure() const override;
    bool setSyncMode(SyncMode mode) override;
    SyncState syncState() const override;

private:
    enum Following : int { OwnClock = 0, FollowingClock = 1, ClockLost = 2 };

    static int process(std::uint32_t frames, void* self) noexcept;
    static int xrun(void* self) noexcept;
    static void shutdown(jack_status_t code, const char* reason, void* self) noexcept;
    void processPeriod(std::uint32_t frames) noexcept;
    Following renderPeriod(std::int16_t* out, unsigned frames, SyncMode mode) noexcept;
    void sendClock(void* midiOut, unsigned frames) noexcept;
    void connectToPlayback();

    const JackLibrary& jack_;
    LoopPlayer& player_;
    jack_client_t* client_ = nullptr;
    jack_port_t* outLeft_ = nullptr;
    jack_port_t* outRight_ = nullptr;
    jack_port_t* clockIn_ = nullptr;
    jack_port_t* clockOut_ = nullptr;
    std::uint32_t sampleRate_ = 0;
    double latency_ = 0;
    // Frames of 16-bit stereo the player renders into before they become floats.
    static constexpr unsigned kMaxPeriod = 8192;
    std::unique_ptr<std::int16_t[]> period_;

    // GUI -> audio: a value on its own, read once per period (relaxed).
    std::atomic<int> mode_;
    // audio -> GUI, each a value on its own for the status bar (relaxed).
    std::atomic<int> following_{OwnClock};
    std::atomic<std::uint32_t> rateHz_{0};
    std::atomic<std::uint32_t> centiBpm_{0};
    std::atomic<std::uint32_t> clockCentiBpm_{0};
    // JACK's threads -> GUI. xruns_ is a count (relaxed); shutDown_ is stored with release after
    // the reason is copied, and loaded with acquire before it is read.
    std::atomic<std::uint64_t> xruns_{0};
    std::atomic<bool> shutDown_{false};
    char shutdownReason_[256] = {};

    // Audio thread only.
    MidiClockFollower midiIn_;
    MidiClockSender midiOut_;
};

} // namespace brev
