// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jack_test_server.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <jack/midiport.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace brev::test {

namespace {

void quiet(const char*) {}

} // namespace

JackTestServer::JackTestServer(unsigned rate, unsigned period) {
    if (!onPath("jackd")) {
        skip_ = "jackd is not installed (Debian package jackd2)";
        return;
    }
    const std::string name = "brev-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    log_ = "/tmp/" + name + ".log";
    jackd_ = std::make_unique<Child>(
        std::vector<std::string>{"jackd", "-n", name, "--no-realtime", "-t", "10000", "-d", "dummy",
                                 "-r", std::to_string(rate), "-p", std::to_string(period)},
        "/dev/null", log_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        jack_status_t status{};
        if (jack_client_t* probe = jack_client_open("probe", JackNoStartServer, &status)) {
            jack_client_close(probe);
            return;
        }
        if (!jackd_->running())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Its last line says why (a server of a crashed test still in JACK's registry, say).
    std::ifstream log(log_);
    std::string line, last;
    while (std::getline(log, line))
        last = line.empty() ? last : line;
    skip_ = "jackd -d dummy did not start: " + last;
}

JackTestServer::~JackTestServer() {
    kill();
}

void JackTestServer::kill() {
    if (jackd_)
        jackd_->stop(SIGTERM);
    if (!log_.empty())
        std::remove(log_.c_str());
}

JackTestClient::JackTestClient(double seconds) {
    jack_status_t status{};
    client_ = jack_client_open("tester", JackNoStartServer, &status);
    if (client_ == nullptr)
        throw std::runtime_error("the test client cannot reach the JACK server");
    rate_ = jack_get_sample_rate(client_);
    samples_.resize(static_cast<std::size_t>(seconds * rate_));
    periods_.resize(samples_.size() / 16 + 1);
    midi_.resize(100000);
    inLeft_ = jack_port_register(client_, "in_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    midiIn_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    midiOut_ = jack_port_register(client_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client_, process, this);
    jack_set_xrun_callback(
        client_, [](void* self) { return ++static_cast<JackTestClient*>(self)->xruns_, 0; }, this);
    jack_activate(client_);
}

JackTestClient::~JackTestClient() {
    jack_client_close(client_);
}

void JackTestClient::listenTo(const std::string& client) {
    recordFrom(client + ":out_left");
    jack_connect(client_, (client + ":clock_out").c_str(), "tester:midi_in");
}

bool JackTestClient::recordFrom(const std::string& port) {
    // A client's ports appear before it is active, and cannot be connected until it is.
    for (int i = 0; i < 1000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        const int error = jack_connect(client_, port.c_str(), "tester:in_left");
        if (error == 0 || error == EEXIST)
            return true;
    }
    return false;
}

void JackTestClient::clockInto(const std::string& client) {
    jack_connect(client_, "tester:midi_out", (client + ":clock_in").c_str());
}

void JackTestClient::becomeTimebaseMaster(double bpm) {
    bpm_ = bpm;
    jack_set_timebase_callback(client_, 0, timebase, this);
}

void JackTestClient::startTransport() {
    jack_transport_start(client_);
}

void JackTestClient::stopTransport() {
    jack_transport_stop(client_);
}

void JackTestClient::locate(std::uint32_t frame) {
    jack_transport_locate(client_, frame);
}

void JackTestClient::sendClock(double bpm) {
    clockBpm_.store(bpm);
}

void JackTestClient::stopClock() {
    clockBpm_.store(0);
}

std::vector<float> JackTestClient::left() const {
    return {samples_.begin(), samples_.begin() + static_cast<long>(sampleCount_.load())};
}

std::vector<JackTestClient::Period> JackTestClient::periods() const {
    return {periods_.begin(), periods_.begin() + static_cast<long>(periodCount_.load())};
}

std::vector<JackTestClient::MidiByte> JackTestClient::midi() const {
    return {midi_.begin(), midi_.begin() + static_cast<long>(midiCount_.load())};
}

void JackTestClient::timebase(jack_transport_state_t, jack_nframes_t, jack_position_t* position,
                              int, void* self) {
    const auto* client = static_cast<JackTestClient*>(self);
    const double beats = position->frame / double(client->rate_) * client->bpm_ / 60;
    const auto whole = static_cast<std::int64_t>(std::floor(beats));
    position->valid = JackPositionBBT;
    position->beats_per_bar = 4;
    position->beat_type = 4;
    position->ticks_per_beat = 1920;
    position->beats_per_minute = client->bpm_;
    position->bar = static_cast<std::int32_t>(whole / 4 + 1);
    position->beat = static_cast<std::int32_t>(whole % 4 + 1);
    position->tick = static_cast<std::int32_t>((beats - whole) * 1920);
    position->bar_start_tick = (position->bar - 1) * 4 * 1920.0;
    if (const Spoil spoil = client->spoil_.load())
        spoil(*position);
}

int JackTestClient::process(jack_nframes_t frames, void* self) {
    auto* client = static_cast<JackTestClient*>(self);
    // Frame time, not frames processed: a period the server skips still passes.
    const jack_nframes_t now = jack_last_frame_time(client->client_);
    jack_position_t position;
    const bool rolling = jack_transport_query(client->client_, &position) == JackTransportRolling;

    const std::size_t first = client->sampleCount_.load(std::memory_order_relaxed);
    const std::size_t period = client->periodCount_.load(std::memory_order_relaxed);
    if (first + frames <= client->samples_.size() && period < client->periods_.size()) {
        const auto* in = static_cast<const float*>(jack_port_get_buffer(client->inLeft_, frames));
        std::copy(in, in + frames, client->samples_.begin() + static_cast<long>(first));
        client->periods_[period] = {position.frame, now, rolling, first, frames};
        client->sampleCount_.store(first + frames, std::memory_order_release);
        client->periodCount_.store(period + 1, std::memory_order_release);
    }

    void* midiIn = jack_port_get_buffer(client->midiIn_, frames);
    std::size_t count = client->midiCount_.load(std::memory_order_relaxed);
    for (jack_nframes_t i = 0, n = jack_midi_get_event_count(midiIn); i < n; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, midiIn, i) == 0 && event.size > 0 &&
            count < client->midi_.size())
            client->midi_[count++] = {now + event.time, event.buffer[0]};
    }
    client->midiCount_.store(count, std::memory_order_release);

    void* midiOut = jack_port_get_buffer(client->midiOut_, frames);
    jack_midi_clear_buffer(midiOut);
    const double bpm = client->clockBpm_.load();
    if (bpm > 0) {
        if (!client->clockStarted_) {
            const unsigned char start = 0xFA;
            jack_midi_event_write(midiOut, 0, &start, 1);
            client->clockStarted_ = true;
            client->nextClock_ = now;
        }
        const double interval = 60.0 * client->rate_ / (bpm * 24);
        while (client->nextClock_ < double(now + frames)) {
            const unsigned char clock = 0xF8;
            const auto offset = static_cast<jack_nframes_t>(
                std::max(0.0, std::ceil(client->nextClock_ - double(now))));
            jack_midi_event_write(midiOut, std::min(offset, frames - 1), &clock, 1);
            client->nextClock_ += interval;
        }
    }
    return 0;
}

} // namespace brev::test
