// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/jack_output.h"

#include "audio/sample_math.h"
#include "base/error.h"
#include "output/jack_library.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace brev {

namespace {

std::string serverName() {
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name != nullptr && *name != '\0' ? name : "default";
}

std::string openError(jack_status_t status) {
    if (status & JackServerFailed)
        return "No JACK server is running (server \"" + serverName() + "\").";
    if (status & JackNameNotUnique)
        return "Another JACK client has the same name.";
    return "The JACK server refused the client (status " + std::to_string(status) + ").";
}

// Whether a master's bar, beat, tick and tempo can be meant: counted from 1, the beat within
// its bar, the tick within its beat, a bar of at least a beat, a tempo of at least one beat a
// minute. A master may publish anything.
bool meaningfulBbt(const jack_position_t& position) {
    const double beatsPerBar = position.beats_per_bar;
    return position.bar >= 1 && position.beat >= 1 && std::isfinite(beatsPerBar) &&
           beatsPerBar >= 1 && position.beat <= std::ceil(beatsPerBar) &&
           std::isfinite(position.ticks_per_beat) && position.ticks_per_beat >= 1 &&
           position.tick >= 0 && position.tick < position.ticks_per_beat &&
           position.beats_per_minute >= 1;
}

// Beats since the song's start, from the transport's bar, beat and tick; < 0 without them, NaN
// when they mean nothing.
double transportBeats(const jack_position_t& position) {
    if (!(position.valid & JackPositionBBT))
        return -1;
    if (!meaningfulBbt(position))
        return std::nan("");
    return (position.bar - 1) * double(position.beats_per_bar) + (position.beat - 1) +
           position.tick / position.ticks_per_beat;
}

} // namespace

std::optional<TDriverEntry> jackDevice() {
    const JackLibrary* jack = nullptr;
    try {
        jack = &jackLibrary();
    } catch (const Error&) {
        return std::nullopt;
    }
    jack_status_t status{};
    jack_client_t* probe = jack->client_open("brev-probe", JackNoStartServer, &status);
    if (probe == nullptr)
        return std::nullopt;
    jack->client_close(probe);
    TDriverEntry entry;
    entry.HostApi = kJackHostApi;
    entry.DeviceName = serverName();
    entry.Description = "JACK server \"" + entry.DeviceName + "\" (native)";
    entry.GUID = deviceGuid(entry.HostApi, entry.DeviceName);
    return entry;
}

JackOutput::JackOutput(LoopPlayer& player, const std::string& clientName, SyncMode sync)
    : jack_(jackLibrary()), player_(player), period_(new std::int16_t[2 * kMaxPeriod]),
      mode_(static_cast<int>(sync)), midiIn_(1) {
    jack_status_t status{};
    client_ = jack_.client_open(clientName.c_str(), JackNoStartServer, &status);
    if (client_ == nullptr)
        throw Error(openError(status));
    try {
        sampleRate_ = jack_.get_sample_rate(client_);
        midiIn_ = MidiClockFollower(sampleRate_);
        player_.setDeviceRate(sampleRate_);
        outLeft_ =
            jack_.port_register(client_, "out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        outRight_ =
            jack_.port_register(client_, "out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        clockIn_ =
            jack_.port_register(client_, "clock_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        clockOut_ =
            jack_.port_register(client_, "clock_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        if (!outLeft_ || !outRight_ || !clockIn_ || !clockOut_)
            throw Error("The JACK server refused to make the ports of " + clientName + ".");
        jack_.set_process_callback(client_, process, this);
        jack_.set_xrun_callback(client_, xrun, this);
        jack_.on_info_shutdown(client_, shutdown, this);
        if (jack_.activate(client_) != 0)
            throw Error("The JACK server refused to start " + clientName + ".");
        latency_ = 2.0 * jack_.get_buffer_size(client_) / sampleRate_;
        connectToPlayback();
    } catch (...) {
        jack_.client_close(client_);
        player_.setDeviceRate(kDeviceRate);
        throw;
    }
}

JackOutput::~JackOutput() {
    // Closing deactivates first: no process call runs after it returns.
    jack_.client_close(client_);
    player_.setDeviceRate(kDeviceRate);
}

void JackOutput::connectToPlayback() {
    // As JACK clients usually do; a server without playback ports just leaves them open.
    const char** playback = jack_.get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                            JackPortIsPhysical | JackPortIsInput);
    if (playback == nullptr)
        return;
    if (playback[0] != nullptr) {
        jack_.connect(client_, jack_.port_name(outLeft_), playback[0]);
        jack_.connect(client_, jack_.port_name(outRight_),
                      playback[1] != nullptr ? playback[1] : playback[0]);
    }
    jack_.free(playback);
}

DeviceCaps JackOutput::capabilities() const {
    DeviceCaps caps;
    caps.flags = DeviceCaps::kSecondary16Bit | DeviceCaps::kSecondaryStereo;
    return caps;
}

unsigned JackOutput::periodFrames() const {
    return shutDown_.load(std::memory_order_acquire) ? 0 : jack_.get_buffer_size(client_);
}

std::string JackOutput::failure() const {
    if (shutDown_.load(std::memory_order_acquire))
        return std::string("The JACK server has gone away: ") + shutdownReason_;
    return {};
}

bool JackOutput::setSyncMode(SyncMode mode) {
    mode_.store(static_cast<int>(mode), std::memory_order_relaxed);
    return true;
}

SyncState JackOutput::syncState() const {
    SyncState state;
    state.mode = static_cast<SyncMode>(mode_.load(std::memory_order_relaxed));
    const int following = following_.load(std::memory_order_relaxed);
    state.following = following == FollowingClock;
    state.bpm = centiBpm_.load(std::memory_order_relaxed) / 100.0;
    state.rateHz = rateHz_.load(std::memory_order_relaxed);
    state.clockBpm = clockCentiBpm_.load(std::memory_order_relaxed) / 100.0;
    if (following == ClockLost)
        state.problem = state.mode == SyncMode::JackTransport
                            ? "JACK transport position unusable: playing on its own clock"
                            : "MIDI clock stopped: playing on its own clock";
    return state;
}

int JackOutput::xrun(void* self) noexcept {
    static_cast<JackOutput*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

void JackOutput::shutdown(jack_status_t, const char* reason, void* self) noexcept {
    auto* out = static_cast<JackOutput*>(self);
    std::strncpy(out->shutdownReason_, reason != nullptr ? reason : "",
                 sizeof out->shutdownReason_ - 1);
    out->shutDown_.store(true, std::memory_order_release);
}

int JackOutput::process(std::uint32_t frames, void* self) noexcept {
    static_cast<JackOutput*>(self)->processPeriod(frames);
    return 0;
}

void JackOutput::processPeriod(std::uint32_t frames) noexcept {
    auto* left = static_cast<float*>(jack_.port_get_buffer(outLeft_, frames));
    auto* right = static_cast<float*>(jack_.port_get_buffer(outRight_, frames));
    void* midiOut = jack_.port_get_buffer(clockOut_, frames);
    jack_.midi_clear_buffer(midiOut);
    const auto mode = static_cast<SyncMode>(mode_.load(std::memory_order_relaxed));

    if (frames > kMaxPeriod) {
        // Larger than any period JACK offers today: silence rather than a read past the end.
        std::memset(left, 0, sizeof(float) * frames);
        std::memset(right, 0, sizeof(float) * frames);
        xruns_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    std::int16_t* period = period_.get();
    const Following following = renderPeriod(period, frames, mode);
    splitToFloats(period, frames, left, right);
    // Clock goes out whenever it does not come in, so two programs never chase each other.
    if (mode != SyncMode::MidiClock || following != FollowingClock)
        sendClock(midiOut, frames);
}

JackOutput::Following JackOutput::renderPeriod(std::int16_t* out, unsigned frames,
                                               SyncMode mode) noexcept {
    const jack_nframes_t now = jack_.last_frame_time(client_);
    Follow follow;
    Following following = OwnClock;
    if (mode == SyncMode::JackTransport) {
        jack_position_t position;
        follow.rolling = jack_.transport_query(client_, &position) == JackTransportRolling;
        follow.beats = transportBeats(position);
        follow.bpm = follow.beats < 0 ? 0 : position.beats_per_minute;
        follow.seconds = position.frame / double(sampleRate_);
        // The transport is exact to the frame: anything more than its ticks' rounding is a
        // relocation, or periods this client missed.
        follow.slackSeconds = 0.002;
        // A master may publish anything: what cannot be followed is treated as a lost clock.
        following = followable(follow) ? FollowingClock : ClockLost;
    } else if (mode == SyncMode::MidiClock) {
        midiIn_.period(now, frames);
        void* midiIn = jack_.port_get_buffer(clockIn_, frames);
        const jack_nframes_t count = jack_.midi_get_event_count(midiIn);
        for (jack_nframes_t i = 0; i < count; ++i) {
            jack_midi_event_t event;
            if (jack_.midi_event_get(&event, midiIn, i) == 0)
                midiIn_.receive(event.buffer, event.size, std::uint64_t{now} + event.time);
        }
        follow = midiIn_.at(now);
        following = midiIn_.lost(now) ? ClockLost : FollowingClock;
    }
    const unsigned played = following == FollowingClock
                                ? player_.renderFollowing(out, frames, follow)
                                : player_.render(out, frames);
    following_.store(following, std::memory_order_relaxed);
    const bool clockTempo = following == FollowingClock && follow.rolling && follow.bpm > 0;
    clockCentiBpm_.store(clockTempo ? static_cast<std::uint32_t>(std::lround(follow.bpm * 100)) : 0,
                         std::memory_order_relaxed);

    const PeriodTrace& trace = player_.lastPeriod();
    if (played > 0 && trace.loopFrames > 0) {
        const double rate = std::ldexp(double(trace.step), -32) * sampleRate_;
        rateHz_.store(static_cast<std::uint32_t>(std::lround(rate)), std::memory_order_relaxed);
        // The loop's tempo is a bar of 4 beats per loop length at that rate.
        const double bpm = 240 * rate / trace.loopFrames;
        centiBpm_.store(static_cast<std::uint32_t>(std::lround(bpm * 100)),
                        std::memory_order_relaxed);
    }
    return following;
}

void JackOutput::sendClock(void* midiOut, unsigned frames) noexcept {
    midiOut_.period(player_.lastPeriod(), frames,
                    [&](unsigned offset, const unsigned char* bytes, std::size_t size) {
                        // A full buffer drops the message: the next pulse comes soon.
                        jack_.midi_event_write(midiOut, offset, bytes, size);
                    });
}

} // namespace brev
