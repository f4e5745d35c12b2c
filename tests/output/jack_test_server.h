// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "child_process.h"

#include <atomic>
#include <cstdint>
#include <jack/jack.h>
#include <memory>
#include <string>
#include <vector>

namespace brev::test {

// A JACK server of the test's own: jackd with the dummy driver (paced in real time) under a
// name no other test uses, made the default server of every client of this process through
// JACK_DEFAULT_SERVER. skipReason() says why it could not start.
class JackTestServer {
public:
    explicit JackTestServer(unsigned rate = 48000, unsigned period = 1024);
    ~JackTestServer();
    const std::string& skipReason() const { return skip_; }
    // The server shuts down under its clients.
    void kill();

private:
    std::unique_ptr<Child> jackd_;
    std::string log_; // jackd's standard error
    std::string skip_;
};

// The other music software: a client "tester" that records what reaches its audio inputs with
// the transport's state in each period, can be the timebase master at a fixed tempo, sends MIDI
// clock, and records the MIDI that reaches it.
class JackTestClient {
public:
    struct Period {
        std::uint32_t transportFrame; // the transport's position at the period's first frame
        std::uint32_t frameTime;      // the server's frame time there
        bool rolling;
        std::size_t firstSample; // index into left()
        std::uint32_t frames;
    };
    struct MidiByte {
        std::uint64_t frame; // the server's frame time
        unsigned char status;
    };

    explicit JackTestClient(double seconds);
    ~JackTestClient();
    std::uint32_t sampleRate() const { return rate_; }

    // Our output's audio and clock_out into this client's inputs.
    void listenTo(const std::string& client);
    // Another program's audio output port (client:port) into this client's audio input, once
    // it exists and its client is active; false when that is not so within 10 seconds.
    bool recordFrom(const std::string& port);
    // This client's clock into our clock_in.
    void clockInto(const std::string& client);
    void becomeTimebaseMaster(double bpm);
    // From the next period on, the master publishes its figures changed by spoil (none: as they
    // are), as another program may.
    using Spoil = void (*)(jack_position_t&);
    void spoilPosition(Spoil spoil) { spoil_.store(spoil); }
    void startTransport();
    void stopTransport();
    void locate(std::uint32_t frame);
    // Start, then 24 pulses per beat at bpm, until stopClock() ends them without a Stop.
    void sendClock(double bpm);
    void stopClock();

    // Periods the server has dropped since this client started (a loaded machine): timing seen
    // across them says nothing about ours.
    std::uint64_t xruns() const { return xruns_.load(); }

    // How many frames have arrived so far.
    std::size_t recorded() const { return sampleCount_.load(); }
    // What has arrived so far; the samples of every period periods() gives are in a later left().
    std::vector<float> left() const;
    std::vector<Period> periods() const;
    std::vector<MidiByte> midi() const;

private:
    static int process(jack_nframes_t frames, void* self);
    static void timebase(jack_transport_state_t, jack_nframes_t, jack_position_t* position, int,
                         void* self);

    jack_client_t* client_ = nullptr;
    jack_port_t* inLeft_ = nullptr;
    jack_port_t* midiIn_ = nullptr;
    jack_port_t* midiOut_ = nullptr;
    std::uint32_t rate_ = 0;
    double bpm_ = 0;
    // Filled by the process thread up to the published counts (release; acquire by readers).
    std::vector<float> samples_;
    std::vector<Period> periods_;
    std::vector<MidiByte> midi_;
    std::atomic<std::size_t> sampleCount_{0};
    std::atomic<std::size_t> periodCount_{0};
    std::atomic<std::size_t> midiCount_{0};
    std::atomic<double> clockBpm_{0}; // 0: no clock
    std::atomic<Spoil> spoil_{nullptr};
    std::atomic<std::uint64_t> xruns_{0};
    // Process thread only.
    bool clockStarted_ = false;
    double nextClock_ = 0;
};

} // namespace brev::test
